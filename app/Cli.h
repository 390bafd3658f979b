#pragma once
// The command line: rootfinder-cli [--points FILE] [--plot FILE] A B H EPS
// stdout gets exactly the report lines of one run; exit status 0 after a complete run,
// 1 after an error that ended it (message on stderr), 2 on wrong usage.
#include "CalculationRun.h"

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Draws the run's plot into an image file (PNG or SVG by its extension); raises Exception.
using ChartExporter = std::function<void(const std::vector<PlotPoint>& points, const std::string& file)>;

// `arguments` excludes the program name. Without an exporter, --plot is refused.
int CliMain(const std::vector<std::string_view>& arguments, std::FILE* out, std::FILE* err,
            const ChartExporter& exportChart = {});
