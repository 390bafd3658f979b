#pragma once
// The chart module, rootfinder-chart: the window's chart drawn into an image, for --plot. It is
// the command line's only use of Qt, so it lives in a shared module that the command line
// loads only when a chart is asked for. Its one entry point has C linkage: no exception and no
// C++ object crosses the boundary.
#include "core/CalculationRun.h"

#include <cstddef>

// Receives the image's bytes.
using ChartBytesSink = void (*)(void* context, const char* data, std::size_t size);

// Draws `count` points as the main window's chart, 544 x 446 pixels, as SVG when `svg` is
// nonzero and PNG otherwise, and hands the image's bytes to `sink`. Returns 1; or 0 with a
// UTF-8 message, cut to `errorSize` bytes and terminated, in `error`. Needs no display.
using RenderChartFunction = int (*)(const PlotPoint* points, std::size_t count, int svg, ChartBytesSink sink,
                                    void* context, char* error, std::size_t errorSize);

// The entry point's name in the module.
inline constexpr const char* kRenderChartSymbol = "RootfinderRenderChart";
