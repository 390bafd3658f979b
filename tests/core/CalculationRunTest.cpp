// CalculationRun: the order of what reaches the two sinks, the scan's root lines, the separators,
// and what an error inside the run leaves.
#include "core/CalculationRun.h"
#include "core/EvaluateBlock.h"
#include "core/SecantRoot.h"
#include "core/TargetFunction.h"
#include "framework/base/Conversions.h"
#include "framework/base/Exception.h"
#include "tests/core/RunRecorder.h"
#include "tests/core/RunTexts.h"
#include "tests/framework/base/ScopedLocale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// ---------------------------------------------------------------------------------------
// Order of events

TEST(CalculationRunOrder, HeaderThenClearThenPointsThenRootsHeaderThenRootLines)
{
    const RunRecorder run = RunTexts({"1", "5", "0.1", "0.0001"});
    ASSERT_EQ(run.events.size(), 1u + 1u + 43u + 1u + 2u);
    EXPECT_EQ(run.events[0].kind, RunEvent::Line);
    EXPECT_EQ(run.events[0].line, kFunctionHeader);
    EXPECT_EQ(run.events[1].kind, RunEvent::Clear);
    for (std::size_t i = 2; i < 45; ++i) EXPECT_EQ(run.events[i].kind, RunEvent::Point) << i;
    EXPECT_EQ(run.events[45].kind, RunEvent::Line);
    EXPECT_EQ(run.events[45].line, kRootsHeader);
    EXPECT_EQ(run.events[46].line, RootLine(1, "1.019122"));
    EXPECT_EQ(run.events[47].line, RootLine(2, "4.595297"));
}

TEST(CalculationRunOrder, TheTextOverloadAndTheInputsOverloadAgree)
{
    RunRecorder fromInputs;
    CalculationRun(CalculationInputs{1.0, 5.0, 0.1, 0.0001}, fromInputs.Report(), fromInputs.Plot());
    const RunRecorder fromTexts = RunTexts({"1", "5", "0.1", "0.0001"});
    EXPECT_EQ(fromInputs.Lines(), fromTexts.Lines());
    EXPECT_EQ(fromInputs.Abscissae(), fromTexts.Abscissae());
}

TEST(CalculationRunOrder, ASecondRunAppendsTheSameBlockAndReplacesThePlot)
{
    RunRecorder run;
    CalculationRun("1", "5", "0.1", "0.0001", run.Report(), run.Plot());
    const auto firstLines = run.Lines();
    const auto firstPoints = run.Abscissae();
    CalculationRun("1", "5", "0.1", "0.0001", run.Report(), run.Plot());

    auto twice = firstLines;
    twice.insert(twice.end(), firstLines.begin(), firstLines.end());
    EXPECT_EQ(run.Lines(), twice); // numbering restarts at 1
    EXPECT_EQ(run.Clears(), 2);
    EXPECT_EQ(run.Abscissae(), firstPoints); // only the second run's points after its clear
}

// ---------------------------------------------------------------------------------------
// The scan and the root lines

struct ReportExample {
    Texts texts;
    std::vector<std::string> roots; // the lines after the roots header
};

void PrintTo(const ReportExample& e, std::ostream* os) { *os << e.texts; }

class CalculationRunReport : public testing::TestWithParam<ReportExample> {};

TEST_P(CalculationRunReport, AppendsTheRootLinesOfTheScan)
{
    const ReportExample& e = GetParam();
    std::vector<std::string> expected{kFunctionHeader, kRootsHeader};
    expected.insert(expected.end(), e.roots.begin(), e.roots.end());
    EXPECT_EQ(RunTexts(e.texts).Lines(), expected);
}

// The root lines are the tool's own report lines, and the same as the scan and the secant
// iteration give redone in 40-digit arithmetic (f at the same double abscissae).
INSTANTIATE_TEST_SUITE_P(
    Examples, CalculationRunReport,
    testing::Values(
        // Sign changes on the intervals starting at 1.0 and 4.500000000000001.
        ReportExample{{"1", "5", "0.1", "0.0001"}, {RootLine(1, "1.019122"), RootLine(2, "4.595297")}},
        // In the scan's order; the refinement from [4.5, 5] leaves its interval, so two lines
        // carry the same value.
        ReportExample{
            {"1", "10", "0.5", "0.0001"},
            {RootLine(1, "1.019122"), RootLine(2, "6.132001"), RootLine(3, "5.160559"), RootLine(4, "6.132001")}},
        // The interval spanning the pole at 0 changes sign without a root, and is reported.
        ReportExample{{"-1", "1", "0.1", "0.0001"}, {RootLine(1, "0.100000"), RootLine(2, "1.019122")}},
        // a = b: the single interval [a, a + h] is scanned.
        ReportExample{{"0.5", "0.5", "0.1", "0.0001"}, {kNoRoots}},
        // The last interval reaches past b: the root at 1.019 in [1, 1.1] is reported.
        ReportExample{{"1", "1", "0.1", "0.0001"}, {RootLine(1, "1.019122")}},
        // Two roots inside one step (1.019 and 4.595 in [1, 5]) give no sign change.
        ReportExample{{"1", "1", "4", "0.0001"}, {kNoRoots}},
        // a > b: nothing is scanned.
        ReportExample{{"5", "1", "0.1", "0.0001"}, {kNoRoots}},
        // 6000 steps, scanned a block of 256 at a time, each zero's sign change in another block: the
        // four zeros of f, to six places.
        ReportExample{
            {"1", "7", "0.001", "0.0001"},
            {RootLine(1, "1.019122"), RootLine(2, "4.595297"), RootLine(3, "5.160559"), RootLine(4, "6.132001")}}));

TEST(CalculationRunScan, TheAbscissaNearZeroIsNotZeroSoThePoleIntervalIsRefined)
{
    // The scan from -1 in steps of 0.1 passes -1.3877787807814457e-16, not 0.
    double x = -1.0;
    while (x < -0.05) x = x + 0.1;
    ASSERT_EQ(x, -1.3877787807814457e-16);
    ASSERT_EQ(x + 0.1, 0.09999999999999987);
    EXPECT_TRUE(TargetFunction(x) < 0 && TargetFunction(x + 0.1) > 0);
    EXPECT_EQ(FloatToStrF(SecantRoot(x, x + 0.1, 0.0001).root, ffFixed, 8, 6), "0.100000");
}

// A root exactly on a scan abscissa (f exactly 0 there) is not reported: the product of the
// two values is 0, not negative. Such a double exists next to the root near 1.0191219364.
std::optional<double> ExactZeroNear(double x)
{
    for (int i = 0; i < 4096; ++i, x = std::nextafter(x, 2.0))
        if (TargetFunction(x) == 0.0) return x;
    return std::nullopt;
}

TEST(CalculationRunScan, ARootExactlyOnAScanAbscissaIsNotReported)
{
    // The exact zero is one of TargetFunction's: the run evaluates f that way too here.
    const EvaluationPath path = ActiveEvaluationPath();
    ASSERT_TRUE(ForceEvaluationPath(EvaluationPath::Scalar));
    struct Restore {
        EvaluationPath path;
        ~Restore() { ForceEvaluationPath(path); }
    } restore{path};
    const std::optional<double> zero = ExactZeroNear(1.0191219364101);
    ASSERT_TRUE(zero.has_value()) << "no double near 1.0191219364 where f is exactly 0";
    const double r = *zero;
    ASSERT_EQ(TargetFunction(r), 0.0);
    ASSERT_GT(TargetFunction(std::nextafter(r, 0.0)), 0.0);
    ASSERT_LT(TargetFunction(std::nextafter(r, 2.0)), 0.0);

    // The root as the left end: the scan's only interval is [r, r + 1/8].
    RunRecorder left;
    CalculationRun(CalculationInputs{r, r, 0.125, 1e-4}, left.Report(), left.Plot());
    EXPECT_EQ(left.Lines(), (std::vector<std::string>{kFunctionHeader, kRootsHeader, kNoRoots}));

    // The root as the right end of the first interval and the left end of the second:
    // r - 1/8 is exact, and adding 1/8 to it gives r again.
    const double a = r - 0.125;
    ASSERT_EQ(a + 0.125, r);
    RunRecorder both;
    CalculationRun(CalculationInputs{a, r, 0.125, 1e-4}, both.Report(), both.Plot());
    EXPECT_EQ(both.Lines(), (std::vector<std::string>{kFunctionHeader, kRootsHeader, kNoRoots}));

    // Moved off the root by one double, the same scan does see the sign change.
    RunRecorder moved;
    CalculationRun(CalculationInputs{std::nextafter(r, 0.0), r, 0.125, 1e-4}, moved.Report(), moved.Plot());
    EXPECT_EQ(moved.Lines(), (std::vector<std::string>{kFunctionHeader, kRootsHeader, RootLine(1, "1.019122")}));
}

TEST(CalculationRunScan, APlotAbscissaOnZeroGivesAnInfiniteOrdinateAndANaNRoot)
{
    // a = -1, h = 0.5 puts abscissae exactly on 0. Faults are masked: the infinity flows on.
    const RunRecorder run = RunTexts({"-1", "1", "0.5", "0.0001"});
    bool sawPole = false;
    for (const auto& point : run.Points())
        if (point.x == 0.0) {
            sawPole = true;
            EXPECT_EQ(point.y, kInf);
        }
    EXPECT_TRUE(sawPole);
    EXPECT_EQ(run.Lines(),
              (std::vector<std::string>{kFunctionHeader, kRootsHeader, RootLine(1, "NAN"), RootLine(2, "1.019122")}));
}

// ---------------------------------------------------------------------------------------
// Separators

class CalculationRunLocale : public testing::TestWithParam<LocaleCase> {};

TEST_P(CalculationRunLocale, AcceptsBothSeparatorsAndWritesTheLocaleOne)
{
    SET_TEST_LOCALE(GetParam());
    const std::string& sep = GetParam().separator;
    const std::vector<std::string> expected{kFunctionHeader, kRootsHeader, RootLine(1, "1" + sep + "019122"),
                                            RootLine(2, "4" + sep + "595297")};
    EXPECT_EQ(RunTexts({"1", "5", "0.1", "0.0001"}).Lines(), expected);
    EXPECT_EQ(RunTexts({"1", "5", "0,1", "0,0001"}).Lines(), expected);
    EXPECT_EQ(RunTexts({"1,0", "5.0", "0,1", "1e-4"}).Lines(), expected);
}

TEST_P(CalculationRunLocale, TheSeparatorDoesNotChangeThePlot)
{
    SET_TEST_LOCALE(GetParam());
    EXPECT_EQ(RunTexts({"1", "5", "0,1", "0,0001"}).Abscissae(), ReferenceAbscissae(1, 5, 0.1));
}

INSTANTIATE_TEST_SUITE_P(Locales, CalculationRunLocale, testing::Values(kCLocale, kCommaLocale),
                         [](const auto& info) { return PrintLocaleName(info.param); });

// ---------------------------------------------------------------------------------------
// An error inside the run: what was appended before it stays.

TEST(CalculationRunError, ASecantRefinementThatDoesNotSettleEndsTheRunKeepingWhatWasAppended)
{
    // [-0.5, 0.4] spans the pole; with EPS = 1e-20 the refinement is stopped by its cap.
    RunRecorder run;
    try {
        CalculationRun("-0.5", "0", "0.9", "1e-20", run.Report(), run.Plot());
        FAIL() << "expected the refinement's cap to raise";
    } catch (const Exception& error) {
        EXPECT_NE(error.Message.find("[-0.5; 0.4]"), std::string::npos) << error.Message;
    }
    EXPECT_EQ(run.Lines(), (std::vector<std::string>{kFunctionHeader, kRootsHeader}));
    EXPECT_EQ(run.Clears(), 1);
    EXPECT_EQ(run.Abscissae(), ReferenceAbscissae(-0.5, 0, 0.9));
    EXPECT_EQ(run.events.back().line, kRootsHeader); // no no-roots line after the error
}

} // namespace
