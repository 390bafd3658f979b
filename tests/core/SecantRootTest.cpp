// SecantRoot: the secant iteration, its stop rule, its counts (through the Iterate seam)
// and its cap.
#include "core/SecantRoot.h"
#include "core/TargetFunction.h"
#include "tests/core/RunRecorder.h"

#include "framework/base/Conversions.h"
#include "framework/base/Exception.h"
#include "tests/framework/base/ScopedLocale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

namespace {

// Wraps a function and records every argument it is evaluated at.
struct CountingFunction {
    CountingFunction() = default;
    explicit CountingFunction(std::function<double(double)> f) : function(std::move(f)) {}

    std::function<double(double)> function = TargetFunction;
    std::vector<double> arguments;

    double operator()(double x)
    {
        arguments.push_back(x);
        return function(x);
    }
    int Evaluations() const { return static_cast<int>(arguments.size()); }
};

// The root to 12 significant digits, from the same iteration computed in 40-digit arithmetic from
// the double starting points and eps, and every approximation this build computes, pinned: each is
// the update from the two before it and f there, done in exact rational arithmetic and rounded
// once to a double (f there is this build's, within 1.5 units of the largest term's last place of
// 40-digit f). The update rounded at each operation instead moves some of them by a unit.
struct Refinement {
    double x0, x1, eps;
    double root;
    std::vector<double> approximations; // one per update; the last is the root
};

void PrintTo(const Refinement& r, std::ostream* os)
{
    *os << "SecantRoot(" << r.x0 << ", " << r.x1 << ", " << r.eps << ")";
}

class SecantRootRefinement : public testing::TestWithParam<Refinement> {};

TEST_P(SecantRootRefinement, ReturnsTheRootOf40DigitArithmeticThroughThePinnedApproximations)
{
    const Refinement& r = GetParam();
    CountingFunction f;
    int updates = -1;
    double fLast = 0;
    const double root = secant_detail::Iterate(r.x0, r.x1, r.eps, f, updates, fLast);

    EXPECT_TRUE(RelativelyNear(root, r.root));
    EXPECT_EQ(updates, static_cast<int>(r.approximations.size()));
    EXPECT_EQ(f.Evaluations(), updates + 2); // f(x0), f(x1), then one per update, the last included
    for (std::size_t i = 0; i < r.approximations.size() && 2 + i < f.arguments.size(); ++i)
        EXPECT_TRUE(SameDouble(f.arguments[2 + i], r.approximations[i])) << "approximation " << i + 1;
    // The seam is the routine callers use, bit for bit, and f_root is f at the root it returns.
    EXPECT_EQ(Bits(SecantRoot(r.x0, r.x1, r.eps).root), Bits(root));
    EXPECT_TRUE(SameDouble(SecantRoot(r.x0, r.x1, r.eps).fRoot, TargetFunction(root)));
}

INSTANTIATE_TEST_SUITE_P(
    Examples, SecantRootRefinement,
    testing::Values(
        Refinement{1.0,
                   1.1,
                   1e-4,
                   1.01912193673,
                   {1.0213630509673384, 1.0188584383766532, 1.0191227851780533, 1.0191219367315558}},
        // The same points in the other order: x1 is the newer point.
        Refinement{1.1, 1.0, 1e-4, 1.01912173841, {1.0213630509673384, 1.0191834035856715, 1.0191217384075122}},
        // One update although the starting points already lie closer than eps.
        Refinement{1.0, 1.1, 0.5, 1.02136305097, {1.0213630509673384}},
        Refinement{
            1.0,
            1.1,
            1e-8,
            1.01912193641,
            {1.0213630509673384, 1.0188584383766532, 1.0191227851780533, 1.0191219367315558, 1.0191219364101878}},
        Refinement{4.5, 4.6, 1e-4, 4.59529672431, {4.595987445868713, 4.595290636809206, 4.595296724307201}},
        // Across the pole at 0: the stop test ignores the residual.
        Refinement{
            -0.05, 0.05, 1e-4, 0.0499864150125, {-0.002485434395372454, 0.0499932084278549, 0.04998641501245579}},
        // Leaves its interval for the root at 1.019.
        Refinement{-0.1,
                   0.2,
                   1e-4,
                   1.01912193364,
                   {0.1572576045459274, 0.24343773865566762, 0.2784782665721406, 0.35453022074194657,
                    0.4325156054527638, 0.5345407994182716, 0.6508398809454032, 0.7785121967409702, 0.8962636449460211,
                    0.97755994764698, 1.0118806003575518, 1.0186916086268767, 1.0191174624381767,
                    1.0191219336437563}}));

TEST(SecantRootSteps, EvaluatesX0FirstThenX1ThenEachNewApproximation)
{
    CountingFunction f;
    int updates = 0;
    double fLast = 0;
    secant_detail::Iterate(1.0, 1.1, 1e-4, f, updates, fLast);

    // The approximations and step sizes of the same iteration computed in 40-digit arithmetic.
    const std::vector<double> approximations = {1.02136305097, 1.01885843838, 1.01912278518, 1.01912193673};
    ASSERT_EQ(f.arguments.size(), 2 + approximations.size());
    EXPECT_EQ(f.arguments[0], 1.0);
    EXPECT_EQ(f.arguments[1], 1.1);
    for (std::size_t i = 0; i < approximations.size(); ++i)
        EXPECT_TRUE(RelativelyNear(f.arguments[2 + i], approximations[i])) << "approximation " << i + 1;

    // Step sizes |x1 - x2|, to the digits given: 0.0786, 0.00250, 0.000264, 8.5e-7.
    const struct {
        double size, halfUnit;
    } steps[] = {{0.0786, 0.00005}, {0.00250, 0.000005}, {0.000264, 0.0000005}, {8.5e-7, 0.05e-7}};
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_NEAR(std::fabs(f.arguments[1 + i] - f.arguments[2 + i]), steps[i].size, steps[i].halfUnit)
            << "step " << i + 1;
}

TEST(SecantRootPole, EndsFarFromAnyRootBecauseTheStopTestIgnoresTheResidual)
{
    const double result = SecantRoot(-0.05, 0.05, 1e-4).root;
    EXPECT_NEAR(TargetFunction(result), 8415.0, 1.0);
}

TEST(SecantRootPole, CanLeaveItsStartingInterval)
{
    const double result = SecantRoot(-0.1, 0.2, 1e-4).root;
    EXPECT_GT(result, 0.2);
}

// The stop rule on a straight line f(x) = x - 1/4, where one update lands on the root:
// from (0, 1) the first step is exactly 3/4.
double Line(double x) { return x - 0.25; }

TEST(SecantRootStopRule, AStepEqualToEpsEndsTheLoop)
{
    int updates = 0;
    double fLast = 0;
    const double root = secant_detail::Iterate(0.0, 1.0, 0.75, Line, updates, fLast);
    EXPECT_EQ(root, 0.25);
    EXPECT_EQ(updates, 1);
}

TEST(SecantRootStopRule, AStepJustAboveEpsGoesOn)
{
    CountingFunction f(Line);
    int updates = 0;
    double fLast = 0;
    const double root = secant_detail::Iterate(0.0, 1.0, std::nextafter(0.75, 0.0), f, updates, fLast);
    EXPECT_EQ(root, 0.25);
    EXPECT_EQ(updates, 2); // the second step is 0
    EXPECT_EQ(f.Evaluations(), 4);
}

TEST(SecantRootStopRule, ANaNStepEndsTheLoop)
{
    const auto nanAtOne = [](double x) { return x == 1.0 ? std::numeric_limits<double>::quiet_NaN() : x - 0.25; };
    CountingFunction f(nanAtOne);
    int updates = 0;
    double fLast = 0;
    const double root = secant_detail::Iterate(0.0, 1.0, 1e-4, f, updates, fLast);
    EXPECT_TRUE(std::isnan(root));
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(f.Evaluations(), 3);
}

TEST(SecantRootStopRule, TheOlderPointIsDroppedWhateverTheSigns)
{
    // Secant, not false position: on f(x) = x^2 - 2 from (1, 2) the points are
    // x2 = 4/3 and then x3 = 2 - ... from (2, 4/3), never (1, 4/3).
    const auto square = [](double x) { return x * x - 2; };
    CountingFunction f(square);
    int updates = 0;
    double fLast = 0;
    secant_detail::Iterate(1.0, 2.0, 0.3, f, updates, fLast);
    ASSERT_GE(f.arguments.size(), 4u);
    const double x2 = f.arguments[2];
    EXPECT_DOUBLE_EQ(x2, 4.0 / 3.0);
    // Secant through (2, 2) and (4/3, -2/9): 4/3 - (4/3 - 2) * (-2/9) / (-2/9 - 2) = 7/5.
    EXPECT_DOUBLE_EQ(f.arguments[3], 1.4);
}

// The refinement across the pole with a tolerance it cannot reach does not settle: it is
// stopped after kMaxUpdates updates with an Exception that names the interval.
TEST(SecantRootCap, RaisesAfterKMaxUpdatesNamingTheInterval)
{
    ASSERT_EQ(secant_detail::kMaxUpdates, 1000);
    CountingFunction f;
    int updates = 0;
    double fLast = 0;
    try {
        secant_detail::Iterate(-0.5, 0.4, 1e-20, f, updates, fLast);
        FAIL() << "expected the cap to raise";
    } catch (const Exception& error) {
        EXPECT_EQ(updates, secant_detail::kMaxUpdates);
        EXPECT_EQ(f.Evaluations(), secant_detail::kMaxUpdates + 2);
        EXPECT_NE(error.Message.find("[-0.5; 0.4]"), std::string::npos) << error.Message;
        EXPECT_NE(error.Message.find("1000"), std::string::npos) << error.Message;
        // A looser tolerance is what lets a refinement settle, not a tighter one.
        EXPECT_NE(error.Message.find("EPS больше"), std::string::npos) << error.Message;
    }
    EXPECT_THROW(SecantRoot(-0.5, 0.4, 1e-20), Exception);
}

TEST(SecantRootCap, StopsAFunctionWithoutARootAtExactlyKMaxUpdates)
{
    // e^-x has no root: from (0, 1) the secant walks to the right, its step tending to
    // ln 2, so no step is within 0.5 and only the cap ends the loop.
    CountingFunction f([](double x) { return std::exp(-x); });
    int updates = 0;
    double fLast = 0;
    try {
        secant_detail::Iterate(0.0, 1.0, 0.5, f, updates, fLast);
        FAIL() << "expected the cap to raise";
    } catch (const Exception& error) {
        EXPECT_EQ(updates, secant_detail::kMaxUpdates);
        EXPECT_EQ(f.Evaluations(), secant_detail::kMaxUpdates + 2);
        EXPECT_NE(error.Message.find("[0; 1]"), std::string::npos) << error.Message;
    }
    ASSERT_GE(f.arguments.size(), 3u);
    for (std::size_t i = 2; i < f.arguments.size(); ++i) ASSERT_GT(f.arguments[i] - f.arguments[i - 1], 0.5);
}

class SecantRootCapMessage : public testing::TestWithParam<LocaleCase> {};

TEST_P(SecantRootCapMessage, WritesTheIntervalWithTheLocaleSeparator)
{
    SET_TEST_LOCALE(GetParam());
    const std::string& sep = GetParam().separator;
    try {
        SecantRoot(-0.5, 0.4, 1e-20);
        FAIL() << "expected the cap to raise";
    } catch (const Exception& error) {
        EXPECT_NE(error.Message.find("[-0" + sep + "5; 0" + sep + "4]"), std::string::npos) << error.Message;
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, SecantRootCapMessage, testing::Values(kCLocale, kCommaLocale),
                         [](const auto& info) { return PrintLocaleName(info.param); });

} // namespace
