// TargetFunction: f(x) = e^x / x^3 - sin(x)^3 - 2 in binary64.
#include "core/TargetFunction.h"
#include "tests/core/RunRecorder.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>

namespace {

// f to 12 significant digits, computed in 40-digit arithmetic from the double x.
struct TwelveDigitValue {
    double x;
    double value;
};

class TargetFunctionTwelveDigitValue : public testing::TestWithParam<TwelveDigitValue> {};

TEST_P(TargetFunctionTwelveDigitValue, MatchesTheTwelveDigits)
{
    const auto [x, value] = GetParam();
    EXPECT_TRUE(RelativelyNear(TargetFunction(x), value)) << "f(" << x << ")";
}

INSTANTIATE_TEST_SUITE_P(Values, TargetFunctionTwelveDigitValue,
                         testing::Values(TwelveDigitValue{1.0, 0.122458591868}, TwelveDigitValue{1.1, -0.450767545425},
                                         TwelveDigitValue{2.0, -1.82819493230},
                                         TwelveDigitValue{-1.0, -1.77205620458}));

// Known values of f, to 20 digits (computed in 40-digit arithmetic from the double x, with sin(x)
// rounded to a double as the function does), and the double this build gives there, pinned. exp,
// sin and the cube are the tool's own, one body on every path and platform, so f(x) is one double
// wherever it runs, and a cube taken as x * x * x or an exp one unit off changes its last bits.
// The pins lie within 0.82 units of the largest term's last place of the 20-digit values; the
// function's own rounding is allowed 4.
struct KnownValue {
    double x;
    double value;
    double largestTerm; // max(|e^x / x^3|, |sin(x)^3|, 2)
    double pinned;
};

class TargetFunctionKnownValue : public testing::TestWithParam<KnownValue> {};

TEST_P(TargetFunctionKnownValue, IsWithinAFewUnitsOfTheLargestTermsLastPlaceAndIsThePinnedDouble)
{
    const auto [x, value, largestTerm, pinned] = GetParam();
    const double unit = std::nextafter(largestTerm, INFINITY) - largestTerm;
    EXPECT_NEAR(TargetFunction(x), value, 4 * unit) << "f(" << x << ")";
    EXPECT_TRUE(SameDouble(TargetFunction(x), pinned)) << "f(" << x << ")";
}

INSTANTIATE_TEST_SUITE_P(
    Abscissae, TargetFunctionKnownValue,
    testing::Values(KnownValue{1.0, 0.12245859186808966467, 2.72, 0.1224585918680896},
                    KnownValue{1.1, -0.45076754542529024656, 2.26, -0.4507675454252902},
                    KnownValue{2.0, -1.8281949323026614961, 2, -1.8281949323026616},
                    KnownValue{-1.0, -1.7720562045804867509, 2, -1.7720562045804868},
                    KnownValue{0.1, 1103.1699230648276607, 1105.2, 1103.1699230648278},
                    KnownValue{-0.1, -906.83642302513963124, 904.84, -906.8364230251395},
                    KnownValue{0.9, 0.89329095540567690633, 3.38, 0.8932909554056767},
                    // Beside the roots f is a few units of the last place of 2.6, 1.02 and 2.
                    KnownValue{1.0191219364101882, -2.0188715589017687669e-16, 2.62, 0.0},
                    KnownValue{4.595296716527510, -1.2725191754009670156e-17, 2, 0.0},
                    KnownValue{5.099999999999999, 0.030038207858071675542, 2, 0.03003820785807143},
                    KnownValue{6.132000903062991, 5.4420692577278593335e-16, 2, 4.440892098500626e-16},
                    KnownValue{-3.1, -2.0014402839500406877, 2, -2.0014402839500405},
                    KnownValue{1e-3, 1001000498.1667082782, 1.0011e9, 1001000498.1667084},
                    // -7.25 and the typical run's abscissa 1.3000000000000003: sin(x)^3 is not s * s * s.
                    KnownValue{-7.25, -1.4423957353414060395, 2, -1.442395735341406},
                    KnownValue{1.3000000000000003, -1.2244705941437118915, 2, -1.224470594143712},
                    // 1.7000000000000006 and the scan's last left end 4.999999999999999: x^3 is not x * x * x.
                    KnownValue{1.7000000000000006, -1.8610261351835076558, 2, -1.8610261351835076},
                    KnownValue{4.999999999999999, 0.069070438857246045039, 2, 0.06907043885724606},
                    KnownValue{20.0, 60642.888514630463471, 60646.0, 60642.88851463046},
                    KnownValue{700.0, 2.9569447659912667914e+295, 2.957e295, 2.956944765991267e+295}));

TEST(TargetFunctionSign, IsNegativeForNegativeXBecauseTheCubeIsNegative)
{
    // e^x / x^3 < 0 for x < 0, and sin(x)^3 < 1, so f(x) < -1 there.
    for (double x : {-0.5, -1.0, -2.0, -4.0, -10.0}) EXPECT_LT(TargetFunction(x), -1.0) << "x = " << x;
    EXPECT_LT(TargetFunction(-0.1), -900.0);
}

// With the floating-point exceptions masked (the default setting), the pole at 0 is a
// division by zero that yields an infinity; the fault is flagged, not trapped.
TEST(TargetFunctionPole, ZeroDividesOneByZero)
{
    std::feclearexcept(FE_ALL_EXCEPT);
    const double atPositiveZero = TargetFunction(0.0);
    EXPECT_TRUE(std::fetestexcept(FE_DIVBYZERO));
    EXPECT_EQ(atPositiveZero, INFINITY);

    std::feclearexcept(FE_ALL_EXCEPT);
    const double atNegativeZero = TargetFunction(-0.0);
    EXPECT_TRUE(std::fetestexcept(FE_DIVBYZERO));
    EXPECT_EQ(atNegativeZero, -INFINITY);
}

TEST(TargetFunctionPole, CubeUnderflowingToZeroIsThePoleToo)
{
    // (1e-110)^3 is below the smallest subnormal: the cube is a zero of the sign of x.
    EXPECT_EQ(TargetFunction(1e-110), INFINITY);
    EXPECT_EQ(TargetFunction(-1e-110), -INFINITY);
}

TEST(TargetFunctionRange, OutsideTheDoubleRangeTheResultIsNotFiniteAndNothingTraps)
{
    EXPECT_EQ(TargetFunction(710.0), INFINITY);     // e^x overflows, x^3 does not
    EXPECT_TRUE(std::isnan(TargetFunction(1e200))); // both overflow: inf / inf
    EXPECT_LE(TargetFunction(-1e200), -1.0);        // e^x underflows to 0: f = -sin^3 - 2
}

} // namespace
