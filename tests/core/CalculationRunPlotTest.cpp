// CalculationRun's plot: its point count, its abscissae accumulated by repeated addition from
// a - h while below b + h, and f at each.
#include "core/CalculationRun.h"
#include "core/TargetFunction.h"
#include "tests/core/RunRecorder.h"
#include "tests/core/RunTexts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------
// The plot

struct PlotExample {
    Texts texts;
    std::size_t points;
    double first, last; // compared exactly
};

void PrintTo(const PlotExample& e, std::ostream* os) { *os << e.texts; }

class CalculationRunPlot : public testing::TestWithParam<PlotExample> {};

TEST_P(CalculationRunPlot, HasThePointCountAndExactFirstAndLastAbscissaeOfRepeatedAddition)
{
    const PlotExample& e = GetParam();
    const RunRecorder run = RunTexts(e.texts);
    const auto xs = run.Abscissae();
    ASSERT_EQ(xs.size(), e.points);
    EXPECT_EQ(xs.front(), e.first) << testing::PrintToString(xs.front());
    EXPECT_EQ(xs.back(), e.last) << testing::PrintToString(xs.back());
    EXPECT_EQ(run.Clears(), 1);
}

// The counts and the last abscissae are those of repeated double addition from a - h while below
// the exact sum b + h, done apart in Python (floats against fractions).
INSTANTIATE_TEST_SUITE_P(Examples, CalculationRunPlot,
                         testing::Values(
                             // 0.9 is 1.0 - 0.1; the last is the accumulated value just below 5.1.
                             PlotExample{{"1", "5", "0.1", "0.0001"}, 43, 1.0 - 0.1, 5.099999999999999},
                             PlotExample{{"1", "10", "0.5", "0.0001"}, 20, 0.5, 10.0},
                             PlotExample{{"0.5", "0.5", "0.1", "0.0001"}, 3, 0.5 - 0.1, 0.5 + 0.1},
                             PlotExample{{"-3", "4.9", "0.1", "0.0001"}, 82, -3.0 - 0.1, 5.0},
                             PlotExample{{"-1", "1", "0.1", "0.0001"}, 23, -1.0 - 0.1, 1.0999999999999999}));

TEST(CalculationRunPlot, TheFirstAndLastAbscissaeOfTheTypicalRunAreTheDoublesNear0_9And5_1)
{
    const auto xs = RunTexts({"1", "5", "0.1", "0.0001"}).Abscissae();
    ASSERT_EQ(xs.size(), 43u);
    EXPECT_EQ(xs.front(), 0.9);                     // 1.0 - 0.1 rounds to the double nearest 0.9
    EXPECT_EQ(xs.back(), std::nextafter(5.1, 0.0)); // the double just below the double 5.1
}

TEST(CalculationRunPlot, AEqualsBKeepsTheThirdPointBecauseTheBoundIsNotRounded)
{
    const auto xs = RunTexts({"0.5", "0.5", "0.1", "0.0001"}).Abscissae();
    ASSERT_EQ(xs.size(), 3u);
    EXPECT_EQ(xs[0], 0.4);
    EXPECT_EQ(xs[1], 0.5);
    EXPECT_EQ(xs[2], 0.6);
    // The third abscissa is the double sum 0.5 + 0.1, below the exact sum that bounds the
    // plot; a bound rounded to a double would equal it and drop the point.
    EXPECT_EQ(xs[2], 0.5 + 0.1);
    EXPECT_TRUE(BelowBound(0.5, 0.1, xs[2]));
    EXPECT_FALSE(0.5 + 0.1 > xs[2]);
}

TEST(CalculationRunPlot, TheLastAbscissaOfMinus3To4_9IsExactlyFive)
{
    const auto xs = RunTexts({"-3", "4.9", "0.1", "0.0001"}).Abscissae();
    ASSERT_EQ(xs.size(), 82u);
    EXPECT_EQ(xs.back(), 5.0);
}

// Every point, for a range of inputs: the abscissae accumulate by repeated addition from
// a - h while below the unrounded b + h, and each ordinate is f there.
class CalculationRunPlotDefinition : public testing::TestWithParam<CalculationInputs> {};

TEST_P(CalculationRunPlotDefinition, PointsAreTheAccumulatedAbscissaeAndTheirFunctionValues)
{
    const CalculationInputs in = GetParam();
    RunRecorder run;
    RootRecords roots;
    CalculationRun(in, run.Report(), run.Plot(), &roots);
    ExpectFRootIsFAtTheRoot(roots);
    const auto points = run.Points();
    const auto expected = ReferenceAbscissae(in.a, in.b, in.h);
    ASSERT_EQ(points.size(), expected.size());
    EXPECT_EQ(CheckInputs(in), expected.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(Bits(points[i].x), Bits(expected[i])) << "point " << i;
        EXPECT_TRUE(SameDouble(points[i].y, TargetFunction(expected[i]))) << "point " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Inputs, CalculationRunPlotDefinition,
                         testing::Values(CalculationInputs{1, 5, 0.1, 1e-4}, CalculationInputs{1, 10, 0.5, 1e-4},
                                         CalculationInputs{0.5, 0.5, 0.1, 1e-4}, CalculationInputs{-3, 4.9, 0.1, 1e-4},
                                         CalculationInputs{-1, 1, 0.1, 1e-4}, CalculationInputs{0.3, 0.7, 0.1, 1e-4},
                                         CalculationInputs{1.1, 1, 0.1, 1e-4}, CalculationInputs{1.2, 1, 0.1, 1e-4},
                                         CalculationInputs{2, 8, 0.07, 1e-3}, CalculationInputs{1e16, 1e16, 2, 1},
                                         // Many blocks of 256: through binades up and down, onto their ends
                                         // (-8, -4, ...), across 0, and steps halfway between two
                                         // multiples of the spacing, where the sums' last bits decide.
                                         CalculationInputs{1, 11, 1e-3, 1e-4}, CalculationInputs{-11, -1, 1e-3, 1e-4},
                                         CalculationInputs{-8.5, -0.5, 0.25, 1e-4},
                                         CalculationInputs{-1, 1, 1e-3, 1e-4},
                                         CalculationInputs{1, 1 + 0x1p-42, 0x1.8p-52, 1e-4},
                                         CalculationInputs{1e16, 1e16 + 3000, 3, 1},
                                         // The second block of 256 starting on an odd double with a
                                         // tie step (1.5 spacings); the first ending on -1 with sums
                                         // that round finer above it.
                                         CalculationInputs{1 - 763 * 0x1p-53, 1 + 0x1p-42, 0x1.8p-52, 1e-4},
                                         CalculationInputs{-1.49609375, -0.9, 0x1p-9 + 3 * 0x1p-55, 1e-4}));

// a > b: no interval is scanned, so the report says there are no roots; the plot still gets
// the abscissae from a - h that lie below b + h, and none once a >= b + 2h.
struct ReversedExample {
    Texts texts;
    std::vector<double> abscissae;
};

void PrintTo(const ReversedExample& e, std::ostream* os) { *os << e.texts; }

class CalculationRunReversed : public testing::TestWithParam<ReversedExample> {};

TEST_P(CalculationRunReversed, ReportsNoRootsAndPlotsOnlyBelowBPlusH)
{
    const RunRecorder run = RunTexts(GetParam().texts);
    EXPECT_EQ(run.Lines(), (std::vector<std::string>{kFunctionHeader, kRootsHeader, kNoRoots}));
    EXPECT_EQ(run.Clears(), 1);
    EXPECT_EQ(run.Abscissae(), GetParam().abscissae);
}

INSTANTIATE_TEST_SUITE_P(Examples, CalculationRunReversed,
                         testing::Values(ReversedExample{{"5", "1", "0.1", "0.0001"}, {}},
                                         ReversedExample{{"1.2", "1", "0.1", "0.0001"}, {1.2 - 0.1}},
                                         ReversedExample{{"1.1", "1", "0.1", "0.0001"}, {1.0}},
                                         ReversedExample{{"3", "1", "1", "0.0001"}, {}},
                                         ReversedExample{{"2.5", "1", "1", "0.0001"}, {1.5}}));

} // namespace
