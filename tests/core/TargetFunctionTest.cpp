// TargetFunction: f(x) = e^x / x^3 - sin(x)^3 - 2 in binary64.
#include "RunRecorder.h"
#include "TargetFunction.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>

namespace {

struct StatedValue {
    double x;
    double value; // given to 12 significant digits
};

class TargetFunctionStatedValue : public testing::TestWithParam<StatedValue> {};

TEST_P(TargetFunctionStatedValue, MatchesTheStatedDigits)
{
    const auto [x, value] = GetParam();
    EXPECT_TRUE(RelativelyNear(TargetFunction(x), value)) << "f(" << x << ")";
}

INSTANTIATE_TEST_SUITE_P(Values, TargetFunctionStatedValue,
                         testing::Values(StatedValue{1.0, 0.122458591868}, StatedValue{1.1, -0.450767545425},
                                         StatedValue{2.0, -1.82819493230}, StatedValue{-1.0, -1.77205620458}));

// The order of operations and the rounding points: both cubes through pow with the real
// exponent 3.0 (not x*x*x), sin(x) a double before it is cubed, the 2 subtracted last.
class TargetFunctionFormula : public testing::TestWithParam<double> {};

TEST_P(TargetFunctionFormula, IsTheFormulaEvaluatedInOrderInBinary64)
{
    const double x = GetParam();
    const double e = std::exp(x);
    const double p = std::pow(x, 3.0);
    const double q = e / p;
    const double s = std::sin(x);
    const double t = std::pow(s, 3.0);
    const double r = q - t;
    const double expected = r - 2;
    EXPECT_EQ(Bits(TargetFunction(x)), Bits(expected)) << "x = " << x;
}

INSTANTIATE_TEST_SUITE_P(Abscissae, TargetFunctionFormula,
                         testing::Values(1.0, 1.1, 2.0, -1.0, 0.1, -0.1, 0.9, 1.0191219364101882, 4.595296716527510,
                                         5.099999999999999, 6.132000903062991, -3.1, 1e-3, -7.25, 20.0, 700.0));

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
    EXPECT_EQ(TargetFunction(710.0), INFINITY);  // e^x overflows, x^3 does not
    EXPECT_TRUE(std::isnan(TargetFunction(1e200))); // both overflow: inf / inf
    EXPECT_LE(TargetFunction(-1e200), -1.0);        // e^x underflows to 0: f = -sin^3 - 2
}

} // namespace
