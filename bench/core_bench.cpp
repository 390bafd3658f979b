// Costs of the computation: one evaluation of f, one secant refinement, and whole runs
// set against the function evaluations they make (one per plot point, two per scan step).
#include "CalculationRun.h"
#include "SecantRoot.h"
#include "TargetFunction.h"

#include "DiscardingSinks.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

// The run over [1, 11] with the step that gives about `points` plot points.
CalculationInputs RunInputs(std::int64_t points) { return {1.0, 11.0, 10.0 / static_cast<double>(points), 1e-4}; }

void BM_TargetFunction(benchmark::State& state)
{
    // Sweeps the run's interval so no call sees a value known at compile time.
    constexpr double kStep = 1e-5;
    double x = 1.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(TargetFunction(x));
        x += kStep;
        if (x >= 11.0) x = 1.0;
    }
}
BENCHMARK(BM_TargetFunction)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_SecantRoot(benchmark::State& state)
{
    double x0 = 1.0, x1 = 1.1, eps = 1e-4;
    for (auto _ : state) {
        // Opaque inputs: the starting points are not known at compile time either.
        benchmark::DoNotOptimize(x0);
        benchmark::DoNotOptimize(x1);
        benchmark::DoNotOptimize(eps);
        benchmark::DoNotOptimize(SecantRoot(x0, x1, eps));
    }
}
BENCHMARK(BM_SecantRoot)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_CalculationRun(benchmark::State& state)
{
    const CalculationInputs inputs = RunInputs(state.range(0));
    DiscardReport report;
    DiscardPlot plot;
    for (auto _ : state) CalculationRun(inputs, report, plot);
}
BENCHMARK(BM_CalculationRun)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Only the evaluations the run makes, at the very same abscissae: the loops are counted
// beforehand and the abscissae accumulate exactly as in the run, so what remains of the
// run's time above this is its own overhead.
void BM_Evaluations(benchmark::State& state)
{
    const CalculationInputs in = RunInputs(state.range(0));
    const auto plotPoints = static_cast<std::int64_t>(CheckInputs(in));
    std::int64_t scanSteps = 0;
    for (double x = in.a; x <= in.b; x = x + in.h) ++scanSteps;

    for (auto _ : state) {
        double x = in.a - in.h;
        for (std::int64_t i = 0; i < plotPoints; ++i, x = x + in.h) benchmark::DoNotOptimize(TargetFunction(x));
        x = in.a;
        for (std::int64_t i = 0; i < scanSteps; ++i, x = x + in.h) {
            benchmark::DoNotOptimize(TargetFunction(x));
            benchmark::DoNotOptimize(TargetFunction(x + in.h));
        }
    }
    state.SetItemsProcessed(state.iterations() * (plotPoints + 2 * scanSteps)); // evaluations
}
BENCHMARK(BM_Evaluations)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
