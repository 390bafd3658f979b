// Costs of the computation: one evaluation of f, f over a block, one secant refinement, and
// whole runs set against the block evaluations they make (one per plot point, two per scan step)
// and against the same runs on the scalar path.
#include "core/CalculationRun.h"
#include "core/EvaluateBlock.h"
#include "core/SecantRoot.h"
#include "core/TargetFunction.h"

#include "bench/DiscardingSinks.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

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

// One evaluation's share of a block of 256, by the path in force.
void BM_EvaluateBlock(benchmark::State& state)
{
    std::vector<double> xs(256), ys(256);
    for (std::size_t i = 0; i < xs.size(); ++i) xs[i] = 1.0 + 1e-5 * static_cast<double>(i);
    for (auto _ : state) {
        EvaluateBlock(xs.data(), ys.data(), xs.size());
        benchmark::DoNotOptimize(ys.data());
        xs[0] += 1e-9; // no two blocks alike
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(xs.size()));
}
BENCHMARK(BM_EvaluateBlock)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_SecantRoot(benchmark::State& state)
{
    double x0 = 1.0, x1 = 1.1, eps = 1e-4;
    for (auto _ : state) {
        // Opaque inputs: the starting points are not known at compile time either.
        benchmark::DoNotOptimize(x0);
        benchmark::DoNotOptimize(x1);
        benchmark::DoNotOptimize(eps);
        benchmark::DoNotOptimize(SecantRoot(x0, x1, eps).root);
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

// The same run with f evaluated one value at a time.
void BM_CalculationRunScalar(benchmark::State& state)
{
    const EvaluationPath path = ActiveEvaluationPath();
    ForceEvaluationPath(EvaluationPath::Scalar);
    BM_CalculationRun(state);
    ForceEvaluationPath(path);
}
BENCHMARK(BM_CalculationRunScalar)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_CalculationRun)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Only the evaluations the run makes, at the very same abscissae and in the same blocks: the
// loops are counted beforehand and the abscissae accumulate exactly as in the run, so what
// remains of the run's time above this is its own overhead.
void BM_Evaluations(benchmark::State& state)
{
    const CalculationInputs in = RunInputs(state.range(0));
    const auto plotPoints = static_cast<std::int64_t>(CheckInputs(in));
    std::int64_t scanSteps = 0;
    for (double x = in.a; x <= in.b; x = x + in.h) ++scanSteps;

    constexpr std::int64_t kBlock = 256;
    double xs[kBlock], ys[kBlock], rights[kBlock], fRights[kBlock];
    for (auto _ : state) {
        double x = in.a - in.h;
        for (std::int64_t done = 0; done < plotPoints;) {
            const std::int64_t n = std::min(kBlock, plotPoints - done);
            for (std::int64_t i = 0; i < n; ++i, x = x + in.h) xs[i] = x;
            EvaluateBlock(xs, ys, static_cast<std::size_t>(n));
            benchmark::DoNotOptimize(ys);
            done += n;
        }
        x = in.a;
        for (std::int64_t done = 0; done < scanSteps;) {
            const std::int64_t n = std::min(kBlock, scanSteps - done);
            for (std::int64_t i = 0; i < n; ++i, x = x + in.h) {
                xs[i] = x;
                rights[i] = x + in.h;
            }
            EvaluateBlock(xs, ys, static_cast<std::size_t>(n));
            EvaluateBlock(rights, fRights, static_cast<std::size_t>(n));
            benchmark::DoNotOptimize(ys);
            benchmark::DoNotOptimize(fRights);
            done += n;
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

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::AddCustomContext("evaluation_path", std::string(EvaluationPathName(ActiveEvaluationPath())));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
