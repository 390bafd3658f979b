#pragma once
// Sinks that take every line and point and keep none: what a run costs without a window.
#include "core/CalculationRun.h"

#include <benchmark/benchmark.h>

class DiscardReport final : public ReportSink {
public:
    void Add(const std::string& line) override { benchmark::DoNotOptimize(line.data()); }
};

class DiscardPlot final : public PlotSink {
public:
    void Clear() override {}
    void Add(PlotPoint point) override { benchmark::DoNotOptimize(point); }
    void AddBlock(const double* xs, const double* ys, std::size_t) override
    {
        benchmark::DoNotOptimize(xs);
        benchmark::DoNotOptimize(ys);
    }
};
