// The window program. Its arguments are ignored.
#include "app/ModuleLoader.h"
#include "framework/gui/Shell.h"
#include "ui/MainForm.h"

// Both parameters stay in the signature: on Windows Qt's entry point calls main as main(argc, argv).
int main(int /*argc*/, char** /*argv*/)
{
    TForm1::LoadRootVerifier = VerifyModuleLoader();
    return RunApplication(Form1);
}
