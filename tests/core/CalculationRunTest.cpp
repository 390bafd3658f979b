// CalculationRun: the order of what reaches the two sinks, the plot's abscissae, the scan's
// root lines, the guards and the conversion errors.
#include "core/CalculationRun.h"
#include "core/EvaluateBlock.h"
#include "core/ExactArithmetic.h"
#include "core/SecantRoot.h"
#include "core/TargetFunction.h"
#include "tests/core/ExactSumOracle.h"
#include "tests/core/RunRecorder.h"

#include "framework/base/Conversions.h"
#include "framework/base/Exception.h"
#include "tests/framework/base/ScopedLocale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Texts {
    std::string a, b, h, eps;
};

std::ostream& operator<<(std::ostream& os, const Texts& t)
{
    return os << "a=\"" << t.a << "\" b=\"" << t.b << "\" h=\"" << t.h << "\" eps=\"" << t.eps << "\"";
}

// Every root line's f_root is f at the root the line reports, bit for bit.
void ExpectFRootIsFAtTheRoot(const RootRecords& roots)
{
    for (const RootRecord& r : roots.records)
        EXPECT_TRUE(SameDouble(r.fRoot, TargetFunction(r.root))) << "root line " << r.number << ": " << r.root;
}

RunRecorder RunTexts(const Texts& t)
{
    RunRecorder recorder;
    RootRecords roots;
    CalculationRun(t.a, t.b, t.h, t.eps, recorder.Report(), recorder.Plot(), &roots);
    ExpectFRootIsFAtTheRoot(roots);
    return recorder;
}

std::string RootLine(int n, const std::string& value) { return std::to_string(n) + "-й = " + value; }

// The plot's abscissae: from a - h, each the double sum of the one before and h, while below
// b + h rounded to a 64-bit significand, decided in exact integer arithmetic where the compiler
// has 128-bit integers (everywhere the tests run in CI).
bool BelowBound(double b, double h, double x)
{
#ifdef ROOTFINDER_HAVE_EXACT_SUM_ORACLE
    return ExactRoundedSumExceeds(b, h, x);
#else
    return ExtendedSum(b, h).Exceeds(x);
#endif
}

std::vector<double> ReferenceAbscissae(double a, double b, double h)
{
    std::vector<double> xs;
    for (double x = a - h; BelowBound(b, h, x); x = x + h) xs.push_back(x);
    return xs;
}

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
INSTANTIATE_TEST_SUITE_P(
    Examples, CalculationRunPlot,
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
    EXPECT_EQ(xs.front(), 0.9);                    // 1.0 - 0.1 rounds to the double nearest 0.9
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
                                         CalculationInputs{-8.5, -0.5, 0.25, 1e-4}, CalculationInputs{-1, 1, 1e-3, 1e-4},
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
        ReportExample{{"1", "10", "0.5", "0.0001"},
                      {RootLine(1, "1.019122"), RootLine(2, "6.132001"), RootLine(3, "5.160559"),
                       RootLine(4, "6.132001")}},
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
        ReportExample{{"1", "7", "0.001", "0.0001"},
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
    EXPECT_EQ(run.Lines(), (std::vector<std::string>{kFunctionHeader, kRootsHeader, RootLine(1, "NAN"),
                                                     RootLine(2, "1.019122")}));
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
// Conversion errors: all four texts are converted first, so neither sink is touched.

struct ConversionFailure {
    Texts texts;
    std::string quoted; // the text the message quotes: the first one that fails, in the order a, b, h, eps
    std::string field;  // the field the message names
};

void PrintTo(const ConversionFailure& e, std::ostream* os) { *os << e.texts; }

class CalculationRunConversionError : public testing::TestWithParam<ConversionFailure> {};

TEST_P(CalculationRunConversionError, RaisesEConvertErrorAndLeavesBothSinksUntouched)
{
    const ConversionFailure& e = GetParam();
    RunRecorder run;
    try {
        CalculationRun(e.texts.a, e.texts.b, e.texts.h, e.texts.eps, run.Report(), run.Plot());
        FAIL() << "expected EConvertError";
    } catch (const EConvertError& error) {
        EXPECT_NE(error.Message.find("«" + e.quoted + "»"), std::string::npos) << error.Message;
        EXPECT_EQ(error.Message.rfind("Поле " + e.field + ": «", 0), 0u) << error.Message;
    }
    EXPECT_TRUE(run.events.empty());
}

INSTANTIATE_TEST_SUITE_P(Texts, CalculationRunConversionError,
                         testing::Values(ConversionFailure{{"", "", "", ""}, "", "a"},
                                         ConversionFailure{{"x", "5", "0.1", "0.0001"}, "x", "a"},
                                         ConversionFailure{{"1", "5 5", "0.1", "0.0001"}, "5 5", "b"},
                                         ConversionFailure{{"1", "5", "0.1.", "0.0001"}, "0.1.", "h"},
                                         ConversionFailure{{"1", "5", "0.1", "1e-4x"}, "1e-4x", "EPS"},
                                         ConversionFailure{{"1", "5", "0.1", ""}, "", "EPS"},
                                         ConversionFailure{{"inf", "5", "0.1", "0.0001"}, "inf", "a"},
                                         ConversionFailure{{"1", "nan", "0.1", "0.0001"}, "nan", "b"},
                                         ConversionFailure{{"1", "5", "0x1p-3", "0.0001"}, "0x1p-3", "h"},
                                         ConversionFailure{{"1", "5", "1e400", "0.0001"}, "1e400", "h"},
                                         // A step or tolerance too small for a double, not the zero it rounds to.
                                         ConversionFailure{{"1", "5", "1e-400", "0.0001"}, "1e-400", "h"},
                                         ConversionFailure{{"1", "5", "0.1", "1e-99999"}, "1e-99999", "EPS"},
                                         ConversionFailure{{"a", "5", "0.1", "e"}, "a", "a"}));

// ---------------------------------------------------------------------------------------
// Guards: inputs on which the run would not end, or would not fit, are refused with a
// Russian Exception before anything is appended to either sink.

struct GuardCase {
    std::string name;
    CalculationInputs inputs;
    std::string inMessage = ""; // a piece of the message, where the cause must be named
};

void PrintTo(const GuardCase& g, std::ostream* os) { *os << g.name; }

class CalculationRunGuard : public testing::TestWithParam<GuardCase> {};

TEST_P(CalculationRunGuard, RaisesARussianExceptionAndLeavesBothSinksUntouched)
{
    RunRecorder run;
    try {
        CalculationRun(GetParam().inputs, run.Report(), run.Plot());
        FAIL() << "expected the guard to raise";
    } catch (const Exception& error) {
        EXPECT_TRUE(HasCyrillic(error.Message)) << error.Message;
        EXPECT_NE(error.Message.find(GetParam().inMessage), std::string::npos) << error.Message;
    }
    EXPECT_TRUE(run.events.empty());
    EXPECT_THROW(CheckInputs(GetParam().inputs), Exception);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, CalculationRunGuard,
    testing::Values(GuardCase{"HZero", {1, 5, 0.0, 1e-4}}, GuardCase{"HNegativeZero", {1, 5, -0.0, 1e-4}},
                    GuardCase{"HNegative", {1, 5, -0.1, 1e-4}}, GuardCase{"HInfinite", {1, 5, kInf, 1e-4}},
                    GuardCase{"HMinusInfinite", {1, 5, -kInf, 1e-4}}, GuardCase{"HNaN", {1, 5, kNaN, 1e-4}},
                    // 1e16 + 1 == 1e16: h does not advance x anywhere.
                    GuardCase{"HBelowTheSpacingEverywhere", {1e16, 1e16, 1.0, 1e-4}},
                    // h = 1 advances x up to 2^53, where 2^53 + 1 rounds back to 2^53.
                    GuardCase{"HBelowTheSpacingSomewhere", {9007199254740980.0, 9007199254741000.0, 1.0, 1e-4}},
                    GuardCase{"EpsZero", {1, 5, 0.1, 0.0}}, GuardCase{"EpsNegative", {1, 5, 0.1, -1e-4}},
                    GuardCase{"EpsInfinite", {1, 5, 0.1, kInf}}, GuardCase{"EpsNaN", {1, 5, 0.1, kNaN}},
                    GuardCase{"AInfinite", {kInf, 5, 0.1, 1e-4}}, GuardCase{"AMinusInfinite", {-kInf, 5, 0.1, 1e-4}},
                    GuardCase{"ANaN", {kNaN, 5, 0.1, 1e-4}}, GuardCase{"BInfinite", {1, kInf, 0.1, 1e-4}},
                    GuardCase{"BMinusInfinite", {1, -kInf, 0.1, 1e-4}}, GuardCase{"BNaN", {1, kNaN, 0.1, 1e-4}},
                    GuardCase{"TooManyPlotPoints", {0, 1, 1e-8, 1e-4}},
                    GuardCase{"AMinusHOverflows", {-1e308, 1e308, 1e308, 1e-4}, "a - h"},
                    GuardCase{"BPlusHOverflows", {1, 1e308, 1e308, 1e-4}, "b + h"}),
    [](const auto& info) { return info.param.name; });

struct GuardText {
    Texts texts;
};

void PrintTo(const GuardText& g, std::ostream* os) { *os << g.texts; }

class CalculationRunGuardText : public testing::TestWithParam<GuardText> {};

TEST_P(CalculationRunGuardText, RaisesAfterConversionAndLeavesBothSinksUntouched)
{
    const Texts& t = GetParam().texts;
    RunRecorder run;
    try {
        CalculationRun(t.a, t.b, t.h, t.eps, run.Report(), run.Plot());
        FAIL() << "expected the guard to raise";
    } catch (const EConvertError& error) {
        FAIL() << "the texts convert; the guard should raise, not the conversion: " << error.Message;
    } catch (const Exception& error) {
        EXPECT_TRUE(HasCyrillic(error.Message)) << error.Message;
    }
    EXPECT_TRUE(run.events.empty());
}

INSTANTIATE_TEST_SUITE_P(Texts, CalculationRunGuardText,
                         testing::Values(GuardText{{"1", "5", "0", "0.0001"}}, GuardText{{"1", "5", "-0", "0.0001"}},
                                         GuardText{{"1", "5", "-0,1", "0.0001"}},
                                         GuardText{{"1", "5", "0e-400", "0.0001"}}, // converts to 0
                                         GuardText{{"1e16", "1e16", "1", "0.0001"}},
                                         GuardText{{"1", "5", "0.1", "0"}}, GuardText{{"1", "5", "0.1", "-1e-4"}},
                                         GuardText{{"0", "1", "1e-8", "0.0001"}}));

TEST(CalculationRunGuard, KMaxPlotPointsArePlottedAndOneMoreIsRefused)
{
    // From a - h = 0 in steps of 1 below b + 1: the points 0, 1, ..., b.
    const double maxPoints = static_cast<double>(kMaxPlotPoints);
    EXPECT_NO_THROW(CheckInputs(CalculationInputs{1, maxPoints - 1, 1, 1e-4}));
    EXPECT_THROW(CheckInputs(CalculationInputs{1, maxPoints, 1, 1e-4}), Exception);
}

// a = b with an h so small that b + h, even in extended precision, is b: the plot range
// [a - h, b + h) is empty, but the scan's one abscissa a <= b does not advance (a + h == a),
// so the run would never end. It must be refused like any other step that does not advance.
// CheckInputs is asserted first: if it let these through, the run below would hang.
TEST(CalculationRunGuard, AnHThatDoesNotAdvanceTheScanIsRefusedWhenThePlotRangeIsEmpty)
{
    for (const CalculationInputs in : {CalculationInputs{1e20, 1e20, 1.0, 1e-4},
                                       CalculationInputs{-1.0, -1.0, 1.2e-323, 1e-3}}) {
        SCOPED_TRACE(testing::Message() << "a = b = " << in.a << ", h = " << in.h);
        ASSERT_EQ(in.a + in.h, in.a);
        ASSERT_THROW(CheckInputs(in), Exception) << "the scan loop would never end";
        RunRecorder run;
        EXPECT_THROW(CalculationRun(in, run.Report(), run.Plot()), Exception);
        EXPECT_TRUE(run.events.empty());
    }
}

TEST(CalculationRunGuard, AnHThatAdvancesXEverywhereRunsToTheEnd)
{
    // 1e16 + 2 is a double: h = 2 advances x where h = 1 does not.
    const RunRecorder run = RunTexts({"1e16", "1e16", "2", "1"});
    EXPECT_EQ(run.Lines(), (std::vector<std::string>{kFunctionHeader, kRootsHeader, kNoRoots}));
    EXPECT_EQ(run.Abscissae(), (std::vector<double>{1e16 - 2, 1e16}));
}

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
