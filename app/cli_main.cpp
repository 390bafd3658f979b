#include "Cli.h"
#include "FloatControl.h"

#include <clocale>

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "");
    Reset8087CW();
    return CliMain(std::vector<std::string_view>(argv + 1, argv + argc), stdout, stderr);
}
