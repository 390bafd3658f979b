// CalculationRun's refusals: texts that do not convert, and inputs on which the run would not
// end or would not fit, raise before anything reaches either sink.
#include "core/CalculationRun.h"
#include "framework/base/Exception.h"
#include "tests/core/RunRecorder.h"
#include "tests/core/RunTexts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

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
                    GuardCase{"HBelowTheSpacingSomewhere",
                              {9007199254740980.0, 9007199254741000.0, 1.0, 1e-4},
                              "x = 9007199254740992"},
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
                                         GuardText{{"1e16", "1e16", "1", "0.0001"}}, GuardText{{"1", "5", "0.1", "0"}},
                                         GuardText{{"1", "5", "0.1", "-1e-4"}},
                                         GuardText{{"0", "1", "1e-8", "0.0001"}}));

TEST(CalculationRunGuard, KMaxPlotPointsArePlottedAndOneMoreIsRefused)
{
    // From a - h = 0 in steps of 1 below b + 1: the points 0, 1, ..., b.
    const double maxPoints = static_cast<double>(kMaxPlotPoints);
    EXPECT_NO_THROW(CheckInputs(CalculationInputs{1, maxPoints - 1, 1, 1e-4}));
    EXPECT_THROW(CheckInputs(CalculationInputs{1, maxPoints, 1, 1e-4}), Exception);
}

// An abscissa that h does not advance is a point of the plot too: with kMaxPlotPoints before it the
// run has too many points, with one fewer the step is too small.
TEST(CalculationRunGuard, AStallJustPastTheCapIsTooManyPointsAndJustBeforeItAStepTooSmall)
{
    const double stall = 0x1p53; // 2^53 + 1 rounds back to 2^53
    const double before = static_cast<double>(kMaxPlotPoints);
    for (const auto& [a, inMessage] : {std::pair{stall - before + 1, "Слишком много точек"},
                                       std::pair{stall - before + 2, "слишком мал: при x = 9007199254740992"}}) {
        try {
            CheckInputs(CalculationInputs{a, stall + 10, 1, 1e-4});
            ADD_FAILURE() << "a = " << a << ": expected the guard to raise";
        } catch (const Exception& error) {
            EXPECT_NE(error.Message.find(inMessage), std::string::npos) << error.Message;
        }
    }
}

// a = b with an h so small that b + h, even in extended precision, is b: the plot range
// [a - h, b + h) is empty, but the scan's one abscissa a <= b does not advance (a + h == a),
// so the run would never end. It must be refused like any other step that does not advance.
// CheckInputs is asserted first: if it let these through, the run below would hang.
TEST(CalculationRunGuard, AnHThatDoesNotAdvanceTheScanIsRefusedWhenThePlotRangeIsEmpty)
{
    for (const CalculationInputs in :
         {CalculationInputs{1e20, 1e20, 1.0, 1e-4}, CalculationInputs{-1.0, -1.0, 1.2e-323, 1e-3}}) {
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

} // namespace
