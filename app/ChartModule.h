#pragma once
// The chart module, rootfinder-chart: the window's chart drawn into an image, for --plot. It is
// the command line's only use of Qt, so it lives in a shared module that the command line
// loads only when a chart is asked for. Its entry points have C linkage: no exception and no
// C++ object crosses the boundary. The structures it takes are passed as laid out in this build,
// so a program loads only a module that reports the interface version it was built with.
#include "core/CalculationRun.h"
#include "framework/gui/ChartFormat.h"

#include <cstddef>

// The interface below, as a number: raised whenever a signature, a structure it passes or the
// meaning of an argument changes.
inline constexpr int kChartModuleVersion = 1;

// Returns the module's kChartModuleVersion; the first entry point called, and the only one before it agrees.
using ChartModuleVersionFunction = int (*)();

// Receives the image's bytes.
using ChartBytesSink = void (*)(void* context, const char* data, std::size_t size);

// Draws `count` points as the main window's chart, 544 x 446 pixels, in the ChartFormat
// `format` (PNG or SVG), and hands the image's bytes to `sink`. Returns 1; or 0 with a UTF-8
// message, cut to `errorSize` bytes and terminated, in `error`. Needs no display.
using RenderChartFunction = int (*)(const PlotPoint* points, std::size_t count, int format, ChartBytesSink sink,
                                    void* context, char* error, std::size_t errorSize);

// The entry points' names in the module.
inline constexpr const char* kChartModuleVersionSymbol = "RootfinderChartModuleVersion";
inline constexpr const char* kRenderChartSymbol = "RootfinderRenderChart";
