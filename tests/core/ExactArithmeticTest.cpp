// The error-free transformations and the extended-precision plot bound built from them: their
// contracts checked in exact integer arithmetic, and the bound against a real x87 unit where the
// platform's long double is the x87 format.
#include "core/ExactArithmetic.h"
#include "os/FloatControl.h"
#include "tests/core/ExactSumOracle.h"
#if defined(__SSE2__) || defined(_M_X64)
#include "core/simd/Sse2Lanes.h"
#endif

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kMax = std::numeric_limits<double>::max();
constexpr double kTrueMin = std::numeric_limits<double>::denorm_min();

// Sources of awkward doubles: any bit pattern, a near neighbour, a power of two.
class AwkwardDoubles {
public:
    explicit AwkwardDoubles(std::uint64_t seed) : random_(seed) {}

    double AnyFinite()
    {
        for (;;) {
            const double v = std::bit_cast<double>(random_());
            if (std::isfinite(v)) return v;
        }
    }
    // |v| in [2^lowExponent, 2^highExponent), random sign.
    double InBinades(int lowExponent, int highExponent)
    {
        const int exponent = std::uniform_int_distribution<int>(lowExponent, highExponent - 1)(random_);
        const double significand = 1.0 + std::ldexp(static_cast<double>(random_() >> 11), -53);
        return Sign() * std::ldexp(significand, exponent);
    }
    double Sign() { return (random_() & 1) ? -1.0 : 1.0; }
    int Small(int n) { return static_cast<int>(random_() % static_cast<std::uint64_t>(n)); }

private:
    std::mt19937_64 random_;
};

// A pair (b, h) of one of the kinds that stress the rounding of b + h to 64 bits.
std::pair<double, double> AwkwardPair(AwkwardDoubles& pick)
{
    switch (pick.Small(7)) {
    case 0: return {pick.AnyFinite(), pick.AnyFinite()};
    case 1: return {pick.InBinades(-30, 30), pick.InBinades(-30, 30)}; // ordinary magnitudes
    case 2: { // h 2^9 to 2^80 times smaller: the sum's low bits straddle the 64th
        const double b = pick.InBinades(-60, 60);
        return {b, pick.InBinades(std::ilogb(b) - 80, std::ilogb(b) - 9)};
    }
    case 3: { // an exact tie, or one spacing off it, at the 64th bit beside b
        const double b = pick.InBinades(-1000, 1000);
        const double spacing = std::ldexp(1.0, std::ilogb(b) - 63);
        return {b, pick.Sign() * spacing * (pick.Small(8) + 0.5 * pick.Small(3))};
    }
    case 4: { // b a power of two, h just below it in the binade beneath
        const double b = pick.Sign() * std::ldexp(1.0, pick.Small(200) - 100);
        return {b, -std::copysign(std::ldexp(1.0, std::ilogb(b) - 64 - pick.Small(3)) * (1 + pick.Small(5)), b)};
    }
    case 5: { // sums beyond the double range, and just inside it
        const double sign = pick.Sign();
        return {sign * std::ldexp(1.0 + pick.Small(1000) / 1000.0, 1022),
                sign * std::ldexp(1.0 + pick.Small(1000) / 1000.0, 1022 - pick.Small(3))};
    }
    default: { // signed zeros and the smallest subnormals
        const double values[] = {0.0, -0.0, kTrueMin, -kTrueMin, DBL_MIN, -DBL_MIN};
        return {values[pick.Small(6)], values[pick.Small(6)]};
    }
    }
}

// The abscissae a bound is tested against: the double sum and its neighbours, and the extremes.
std::vector<double> ProbesBeside(double b, double h)
{
    const double sum = b + h;
    return {sum, std::nextafter(sum, kInf), std::nextafter(sum, -kInf), b, h, 0.0, -0.0, kInf, -kInf, kMax, -kMax};
}

// ---------------------------------------------------------------------------------------
// The plot bound on known cases, on every platform

struct KnownBound {
    double b, h, x;
    bool exceeds;
};

class ExtendedSumKnownCases : public testing::TestWithParam<KnownBound> {};

TEST_P(ExtendedSumKnownCases, ComparesAsTheSumRoundedTo64Bits)
{
    const KnownBound& k = GetParam();
    EXPECT_EQ(ExtendedSum(k.b, k.h).Exceeds(k.x), k.exceeds) << k.b << " + " << k.h << " > " << k.x;
}

INSTANTIATE_TEST_SUITE_P(Examples, ExtendedSumKnownCases,
                         testing::Values(
                             // 0.5 + 0.1 exceeds its own double rounding by 2^-55, which 64 bits keep.
                             KnownBound{0.5, 0.1, 0.5 + 0.1, true},
                             KnownBound{0.5, 0.1, std::nextafter(0.6, 1.0), false},
                             // 1 + 1e-20 is 1 to 64 bits (the spacing there is 2^-63 ~ 1.08e-19).
                             KnownBound{1e-20, 1.0, 1.0, false}, KnownBound{1e-20, 1.0, std::nextafter(1.0, 0.0), true},
                             // The typical run's last abscissa lies below 5 + 0.1; the next one does not.
                             KnownBound{5.0, 0.1, 5.099999999999999, true},
                             KnownBound{5.0, 0.1, std::nextafter(5.1, 6.0), false},
                             // Ties at the 64th bit go to the even neighbour: 1 + 2^-64 rounds down to 1,
                             // 1 + 3 * 2^-64 up to 1 + 2^-62.
                             KnownBound{1.0, 0x1p-64, 1.0, false}, KnownBound{1.0, 0x1.8p-63, 1.0, true},
                             // Below a power of two the 64-bit spacing halves, to 2^-64 below 1: 1 - 2^-65 is a tie
                             // that goes to 1, while 1 - 2^-64 is kept.
                             KnownBound{1.0, -0x1p-65, 1.0, false}, KnownBound{1.0, -0x1p-64, 1.0, false},
                             KnownBound{1.0, -0x1p-64, std::nextafter(1.0, 0.0), true},
                             // A sum beyond the double range stays finite: above every double, below infinity.
                             KnownBound{kMax, kMax, kMax, true}, KnownBound{kMax, kMax, kInf, false},
                             KnownBound{-kMax, -kMax, -kInf, true}, KnownBound{-kMax, -kMax, -kMax, false},
                             // Signed zeros compare equal; a NaN is never below the bound.
                             KnownBound{0.0, -0.0, -0.0, false}, KnownBound{-0.0, -0.0, -kTrueMin, true},
                             KnownBound{1.0, 1.0, std::numeric_limits<double>::quiet_NaN(), false}));

// ---------------------------------------------------------------------------------------
// Against exact integer arithmetic, on every platform that has a 128-bit integer

#ifdef ROOTFINDER_HAVE_EXACT_SUM_ORACLE

TEST(ExtendedSumAgainstExactArithmetic, AgreesOnHalfAMillionAwkwardSums)
{
    AwkwardDoubles pick(20261207);
    long long disagreements = 0;
    for (int i = 0; i < 500'000; ++i) {
        const auto [b, h] = AwkwardPair(pick);
        const ExtendedSum bound(b, h);
        for (double x : ProbesBeside(b, h))
            if (bound.Exceeds(x) != ExactRoundedSumExceeds(b, h, x) && ++disagreements <= 5)
                ADD_FAILURE() << std::hexfloat << b << " + " << h << " > " << x;
    }
    EXPECT_EQ(disagreements, 0);
}

// hi + lo is the exact result: compared as integers scaled by the smallest unit involved.
testing::AssertionResult ExactlyEqual(double a, double b, DoubleDouble pair, bool product)
{
    using namespace exact_sum_oracle;
    const Scaled x = Decompose(a), y = Decompose(b);
    Int exact;
    int exponent;
    if (product) {
        exact = Int(x.significand) * y.significand;
        exponent = x.exponent + y.exponent;
    } else {
        exponent = std::min(x.exponent, y.exponent);
        exact = (Int(x.significand) << (x.exponent - exponent)) + (Int(y.significand) << (y.exponent - exponent));
    }
    Int parts = 0;
    for (double part : {pair.hi, pair.lo}) {
        if (!std::isfinite(part)) return testing::AssertionFailure() << "a part not finite: " << part;
        if (part == 0) continue;
        const Scaled p = Decompose(part);
        if (p.exponent < exponent) return testing::AssertionFailure() << "a part below the exact result's unit";
        parts += Int(p.significand) << (p.exponent - exponent);
    }
    if (parts == exact) return testing::AssertionSuccess();
    return testing::AssertionFailure() << std::hexfloat << a << (product ? " * " : " + ") << b << " != " << pair.hi
                                       << " + " << pair.lo;
}

TEST(ErrorFreeTransformations, TwoSumAndTwoProductAreExact)
{
    AwkwardDoubles pick(7);
    for (int i = 0; i < 200'000; ++i) {
        const double a = pick.InBinades(-400, 400);
        const double b = pick.InBinades(std::ilogb(a) - 60, std::ilogb(a) + 10);
        const DoubleDouble sum = TwoSum(a, b);
        ASSERT_EQ(sum.hi, a + b);
        ASSERT_TRUE(ExactlyEqual(a, b, sum, false));
        const DoubleDouble product = TwoProduct(a, b);
        ASSERT_EQ(product.hi, a * b);
        ASSERT_TRUE(ExactlyEqual(a, b, product, true));
    }
    // Splitting a huge factor must not overflow.
    EXPECT_TRUE(ExactlyEqual(0x1.fffffffffffffp1000, 0x1.8000000000001p-10,
                             TwoProduct(0x1.fffffffffffffp1000, 0x1.8000000000001p-10), true));
}

// A finite product near the top of the range, a factor too large for the splitting constant or
// the halves' product overflowing: exact on the scalar lanes, and in either SSE2 lane beside an
// ordinary product in the other.
TEST(ErrorFreeTransformations, TwoProductIsExactForAFactorNearTheTopOfTheRange)
{
    const double cases[][2] = {{kMax, 0x1.8000000000001p-2},
                               {-0x1.ffffffcp1023, 0x1.5555555555555p-3},
                               {0x1.0000000000001p996, -0x1.fffffffffffffp-27},
                               {0x1.fffffffffffffp-1, -kMax},
                               {kMax, 3 * kTrueMin},
                               {0x1.fffffffffffffp511, 0x1.fffffffffffffp511}}; // high halves' product overflows
    for (const auto& [a, b] : cases) {
        EXPECT_TRUE(ExactlyEqual(a, b, TwoProduct(a, b), true));
#if defined(__SSE2__) || defined(_M_X64)
        for (int lane = 0; lane < 2; ++lane) {
            double as[2] = {1.0 + 0x1p-30, -3.0 + 0x1p-51}, bs[2] = {0x1.5555555555555p-1, 7.0 - 0x1p-50};
            as[lane] = a;
            bs[lane] = b;
            const maths::Pair<Sse2> product = maths::TwoProductAnyRange<Sse2>(Sse2::Load(as), Sse2::Load(bs));
            double hi[2], lo[2];
            Sse2::Store(hi, product.hi);
            Sse2::Store(lo, product.lo);
            for (int k = 0; k < 2; ++k) EXPECT_TRUE(ExactlyEqual(as[k], bs[k], {hi[k], lo[k]}, true)) << "lane " << k;
        }
#endif
    }
}

#endif

// ---------------------------------------------------------------------------------------
// Against a real x87 unit

TEST(ExtendedSumAgainstX87, EqualsTheX87SumForTenMillionAwkwardPairs)
{
    if constexpr (LDBL_MANT_DIG != 64) {
        GTEST_SKIP() << "long double is not the x87 extended format here";
    } else {
        ResetFloatControl(); // 64-bit significands, whatever the runtime started with
        AwkwardDoubles pick(1);
        long long disagreements = 0;
        for (int i = 0; i < 10'000'000; ++i) {
            const auto [b, h] = AwkwardPair(pick);
            const long double x87 = static_cast<long double>(b) + h;
            const ExtendedSum bound(b, h);
            // The value is the x87 sum where a comparison can tell: beside the double nearest it.
            const double nearest = static_cast<double>(x87);
            bool same = true;
            for (double x : {nearest, std::nextafter(nearest, -kInf), std::nextafter(nearest, kInf)})
                same = same && bound.Exceeds(x) == (x87 > x);
            for (double x : ProbesBeside(b, h)) same = same && bound.Exceeds(x) == (x87 > x);
            if (!same && ++disagreements <= 5) ADD_FAILURE() << std::hexfloat << b << " + " << h;
        }
        EXPECT_EQ(disagreements, 0);
    }
}

} // namespace
