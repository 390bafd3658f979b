// The proofs' costs: the verdicts of the typical run's root lines (target: under 10 ms), and
// every zero of f on [-10, 10] (target: under 0.2 s).
#include "bench/DiscardingSinks.h"
#include "core/RootVerdict.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

std::vector<RootRecord> LinesOf(const CalculationInputs& inputs)
{
    DiscardReport report;
    DiscardPlot plot;
    RootRecords kept;
    CalculationRun(inputs, report, plot, &kept);
    return kept.records;
}

void BM_TypicalRunVerdicts(benchmark::State& state)
{
    const CalculationInputs inputs{1, 5, 0.1, 1e-4};
    const auto lines = LinesOf(inputs);
    for (auto _ : state) benchmark::DoNotOptimize(JudgeRootLines(lines, inputs.eps));
}
BENCHMARK(BM_TypicalRunVerdicts)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_AllZerosMinus10To10(benchmark::State& state)
{
    const CalculationInputs inputs{-10, 10, 0.1, 1e-4};
    const auto lines = LinesOf(inputs);
    for (auto _ : state) benchmark::DoNotOptimize(ZerosOfRun(inputs, lines));
}
BENCHMARK(BM_AllZerosMinus10To10)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
