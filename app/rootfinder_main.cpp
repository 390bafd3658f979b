// The window program. Its arguments are ignored.
#include "MainForm.h"
#include "Shell.h"

// Both parameters stay in the signature: on Windows Qt's entry point calls main as main(argc, argv).
int main(int /*argc*/, char** /*argv*/)
{
    return RunApplication(Form1);
}
