// The window program. Its arguments are ignored.
#include "MainForm.h"
#include "Shell.h"

#ifdef ROOTFINDER_VERIFY_MODULE
#include "VerifyModuleLoader.h"
#endif

int main()
{
#ifdef ROOTFINDER_VERIFY_MODULE
    TForm1::LoadRootVerifier = LoadVerifyModule;
#endif
    return RunApplication(Form1);
}
