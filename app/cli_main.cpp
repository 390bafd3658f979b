#include "Cli.h"
#include "Console.h"
#include "FloatControl.h"

#ifdef ROOTFINDER_CHART_EXPORT
#include "ChartExport.h"
#endif

#include <clocale>

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "");
    PrepareConsole();
    Reset8087CW();
#ifdef ROOTFINDER_CHART_EXPORT
    const ChartExporter exporter = ExportChart;
#else
    const ChartExporter exporter;
#endif
    return CliMain(std::vector<std::string_view>(argv + 1, argv + argc), stdout, stderr, exporter);
}
