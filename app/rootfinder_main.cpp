// The window program. Its arguments are ignored.
#include "MainForm.h"
#include "Shell.h"

int main()
{
    return RunApplication(Form1);
}
