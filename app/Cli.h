#pragma once
// The command line: rootfinder-cli [ПАРАМЕТР]... A B H EPS
// stdout gets exactly the report lines of one run; every message goes to stderr, prefixed with
// the program's name. Exit status 0 after a complete run, 1 after an error that ended it, 2 on
// wrong usage. Output files appear only after a complete run.
#include "core/CalculationRun.h"
#include "core/RootVerdict.h"
#include "framework/gui/ChartFormat.h"

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Draws a run's plot as the window draws its chart, in PNG or SVG, and returns the image file's
// bytes; raises Exception.
using ChartRenderer = std::function<std::string(const std::vector<PlotPoint>& points, ChartFormat format)>;

// Makes the chart drawing ready; called once, before the run, only when --plot is given.
// Raises Exception when charts cannot be drawn.
using ChartRendererLoader = std::function<ChartRenderer()>;

// `arguments` excludes the program name. The verifier is loaded once, before the run, only when
// --roots or --all-roots is given. Without a loader, --plot, or --roots and --all-roots, are
// refused as wrong usage.
int CliMain(const std::vector<std::string_view>& arguments, std::FILE* out, std::FILE* err,
            const ChartRendererLoader& loadChartRenderer = {}, const RunVerifierLoader& loadVerifier = {});
