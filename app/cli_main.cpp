#include "app/Cli.h"
#include "app/ModuleLoader.h"
#include "os/Console.h"
#include "os/FloatControl.h"

#include <clocale>

int main(int argc, char** argv)
{
    PrepareConsole(); // first: the locale's files must not take a closed standard descriptor
    std::setlocale(LC_ALL, "");
    ResetFloatControl();
    return CliMain(std::vector<std::string_view>(argv + 1, argv + argc), stdout, stderr, ChartModuleLoader(),
                   VerifyModuleLoader());
}
