// f's elementary functions on their hard cases, both sides of every edge between their formulas,
// and a fixed random sample, on every evaluation path: the cube is the exact cube rounded once
// (also where x * x * x is not), e^x and sin x lie within one unit in the last place of MPFR's
// values with IEEE's special values exact, and every path gives the scalar bits.
#include "tests/core/MpfrReference.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Case {
    double x;
    const char* why;
};

// x * x * x is one unit off the exact cube at the first five.
const Case kCubeCases[] = {
    {0x1.199999999999cp+0, "x * x * x rounds twice"},
    {-0x1.3333333333334p-2, "x * x * x rounds twice, negative"},
    {0x1.c000000000001p+2, "x * x * x rounds twice, beside an integer"},
    {0x1.bff2ee48e0531p-333, "x * x * x rounds twice, a cube near 2^-1000"},
    {0x1.b6e83b85f253fp+333, "x * x * x rounds twice, a cube near 2^1000"},
    {0x1.96608p+17, "a cube halfway between two doubles (ties to even)"},
    {0x1.96618p+17, "a cube halfway between two doubles (ties to even)"},
    // Where the products' errors underflow, their sum could round the cube wrongly: found by the
    // products' path alone over random doubles, a third of which it gets wrong below 2^-341.
    {0x1.2d76abe983824p-335, "the products would round it wrongly"},
    {0x1.ffffcba2bc4d1p-340, "the products would round it wrongly"},
    {0x1.fffffffffffffp-257, "just below the products' range"},
    {0x1p-256, "the bottom of the products' range"},
    {0x1p256, "the top of the products' range"},
    {0x1.0000000000001p+256, "just above it"},
    {0x1.199999999999cp-350, "a subnormal cube"},
    {0x1.9p-359, "a cube just above half the smallest subnormal"},
    {-0x1.5p-359, "a cube below half the smallest subnormal: -0"},
    {0x1.428a2f98d728bp+341, "the largest finite cube"},
    {-0x1.428a2f98d728cp+341, "the smallest cube that overflows: -infinity"},
    {std::numeric_limits<double>::denorm_min(), "the smallest subnormal"},
    {0.0, "+0"},
    {-0.0, "-0"},
    {kInf, "+infinity"},
    {-kInf, "-infinity"},
    {kNaN, "NaN"},
};

const Case kExpCases[] = {
    {0.0, "+0: 1"},
    {-0.0, "-0: 1"},
    {1.0, "e"},
    {-1.0, "1/e"},
    {0x1p-54, "rounds to 1"},
    {-0x1p-54, "rounds to 1"},
    {0x1.62e42fefa39efp-9, "ln 2/256, the edge of the reduced range"},
    {700.0, "the fast range's end"},
    {0x1.5e00000000001p+9, "just beyond it"},
    {-700.0, "the fast range's start"},
    {-0x1.5e00000000001p+9, "just beyond it"},
    {709.782712893384, "the largest finite result"},
    {709.7827128933841, "overflow: +infinity"},
    {710.0, "overflow"},
    {-708.4, "a result near the smallest normal"},
    {-740.0, "a subnormal result"},
    {-744.0, "2 units of 2^-1074"},
    {-744.6, "1 unit of 2^-1074, not 0"},
    {-745.0, "1 unit of 2^-1074, not 0"},
    {-745.1332191019411, "the smallest subnormal"},
    {-0x1.74910d52d3052p+9, "the largest argument whose result rounds to +0"},
    {-745.2, "below it: +0"},
    {-746.0, "+0"},
    {std::numeric_limits<double>::denorm_min(), "a subnormal argument: 1"},
    {kInf, "+infinity"},
    {-kInf, "+0"},
    {kNaN, "NaN"},
};

const Case kSinCases[] = {
    {0.0, "+0"},
    {-0.0, "-0"},
    {std::numeric_limits<double>::denorm_min(), "a subnormal: itself"},
    {-0x1p-1030, "a negative subnormal"},
    {0x1.fffffffffffffp-27, "the largest argument that is its own sine"},
    {0x1p-26, "the smallest that is not"},
    {0x1.8p-25, "x is 2.25 units off"},
    {1e-6, "x is 787 units off"},
    {0x1p-18, "x is 21 845 units off"},
    {0.5, "a plain value"},
    {0x1.921fb54442d18p+0, "pi/2"},
    {0x1.921fb54442d18p+1, "pi: the sine is the error of pi"},
    {0x1.2d97c7f3321d2p+2, "3 pi/2"},
    {355.0, "beside 113 pi"},
    {0x1.fffffffffffffp+25, "the end of the fast reduction"},
    {0x1.0000000000001p+26, "beyond it: the exact reduction"},
    // The doubles nearest k pi/2 for even k (sin x about 1e-12 to 1e-2) that lie relatively nearest
    // it of 4000 such k above 2^e (found with mpmath at 400 bits): beyond 2^26, a reduction with pi/2
    // in four pieces is not exact (k/2 is odd at 2^28, where k/2 first needs more than 26 bits).
    {0x1.0001eb2dc406ap+28, "nearest a multiple of pi/2 above 2^28"},
    {0x1.0000061c6cf49p+35, "above 2^35"},
    {0x1.00000002e7f18p+44, "above 2^44"},
    {0x1.0000000005695p+50, "above 2^50"},
    {0x1.0000000000041p+59, "above 2^59"},
    {1e22, "a large argument"},
    {0x1.6ac5b262ca1ffp+849, "the double nearest a multiple of pi/2"},
    {-1e300, "a huge negative argument"},
    {std::numeric_limits<double>::max(), "the largest double"},
    {kInf, "+infinity: NaN"},
    {-kInf, "-infinity: NaN"},
    {kNaN, "NaN"},
};

double Evaluate(ElementaryFunction function, EvaluationPath path, double x)
{
    double y;
    EvaluateElementary(function, path, &x, &y, 1);
    return y;
}

class ElementaryFunctionOnPath : public testing::TestWithParam<EvaluationPath> {
protected:
    // Every case on this path has the scalar path's bits; returns the values.
    template <std::size_t N>
    std::vector<double> Values(ElementaryFunction function, const Case (&cases)[N])
    {
        std::vector<double> values;
        for (const Case& c : cases) {
            const double y = Evaluate(function, GetParam(), c.x);
            EXPECT_TRUE(SameBits(y, Evaluate(function, EvaluationPath::Scalar, c.x))) << c.why << ": x = " << c.x;
            values.push_back(y);
        }
        return values;
    }

    // Within one unit of the exact value, never flushed to zero, and exactly the rounded value
    // where that is an infinity, a zero or a NaN.
    template <std::size_t N>
    void ExpectWithinOneUnit(ElementaryFunction function, const Case (&cases)[N])
    {
        const std::vector<double> values = Values(function, cases);
        for (std::size_t i = 0; i < N; ++i)
            EXPECT_LT(ExactValue(function, cases[i].x).UnitsOff(values[i]), 1.0)
                << cases[i].why << ": x = " << std::hexfloat << cases[i].x << " gives " << values[i];
    }
};

TEST_P(ElementaryFunctionOnPath, CubeIsTheExactCubeRoundedOnce)
{
    const std::vector<double> values = Values(ElementaryFunction::Cube, kCubeCases);
    for (std::size_t i = 0; i < std::size(kCubeCases); ++i) {
        const Case& c = kCubeCases[i];
        const double exact = ExactValue(ElementaryFunction::Cube, c.x).Rounded();
        EXPECT_TRUE(SameBits(values[i], exact)) << c.why << ": " << std::hexfloat << c.x << "^3 = " << values[i];
        if (i < 5) {
            EXPECT_NE(c.x * c.x * c.x, exact) << c.why;
        }
    }
}

TEST_P(ElementaryFunctionOnPath, ExpIsWithinOneUnitInTheLastPlace)
{
    ExpectWithinOneUnit(ElementaryFunction::Exp, kExpCases);
}

TEST_P(ElementaryFunctionOnPath, SinIsWithinOneUnitInTheLastPlace)
{
    ExpectWithinOneUnit(ElementaryFunction::Sin, kSinCases);
}

TEST_P(ElementaryFunctionOnPath, GivesTheScalarBitsForAnyDouble)
{
    std::mt19937_64 random(7);
    std::vector<double> xs(30001), ys(xs.size()), reference(xs.size()); // an odd count: a padded tail too
    for (std::size_t i = 0; i < xs.size(); ++i)
        xs[i] = i % 2
                    ? std::bit_cast<double>(random())
                    : std::ldexp(std::uniform_real_distribution<double>(-1, 1)(random), static_cast<int>(i % 100) - 40);
    for (ElementaryFunction function : {ElementaryFunction::Exp, ElementaryFunction::Sin, ElementaryFunction::Cube}) {
        EvaluateElementary(function, EvaluationPath::Scalar, xs.data(), reference.data(), xs.size());
        EvaluateElementary(function, GetParam(), xs.data(), ys.data(), xs.size());
        for (std::size_t i = 0; i < xs.size(); ++i)
            ASSERT_TRUE(SameBits(ys[i], reference[i])) << "function " << static_cast<int>(function) << " at " << xs[i];
    }
}

// A fixed sample over every range each function treats its own way: within one unit of MPFR's
// value (the cube exactly rounded) and the scalar path's bits. bench/maths_accuracy sweeps 10^8.
TEST_P(ElementaryFunctionOnPath, RandomArgumentsKeepTheStatedBounds)
{
    struct Sample {
        ElementaryFunction function;
        const char* name;
        std::vector<Source> sources;
        std::size_t count;
    };
    const Sample samples[] = {
        {ElementaryFunction::Exp, "exp", {{Source::Interval, -746, 710}, {Source::Exponents, -60, 10}}, 80000},
        {ElementaryFunction::Sin, "sin", {{Source::Exponents, -1074, 1024}, {Source::Exponents, -30, 60}}, 80000},
        {ElementaryFunction::Cube, "cube", {{Source::AnyBits, 0, 0}}, 80000},
    };
    for (const Sample& sample : samples) {
        std::mt19937_64 random(29 + static_cast<int>(sample.function));
        std::vector<double> xs(sample.count), ys(xs.size()), scalar(xs.size());
        for (std::size_t i = 0; i < xs.size(); ++i) xs[i] = sample.sources[i % sample.sources.size()].Draw(random);
        EvaluateElementary(sample.function, GetParam(), xs.data(), ys.data(), xs.size());
        EvaluateElementary(sample.function, EvaluationPath::Scalar, xs.data(), scalar.data(), xs.size());
        int failures = 0;
        for (std::size_t i = 0; i < xs.size(); ++i) {
            const ExactValue exact(sample.function, xs[i]);
            const double units = exact.UnitsOff(ys[i]);
            const bool rounded = sample.function != ElementaryFunction::Cube || SameBits(ys[i], exact.Rounded());
            if (units < 1 && rounded && SameBits(ys[i], scalar[i])) continue;
            if (++failures <= 5)
                ADD_FAILURE() << sample.name << " at " << std::hexfloat << xs[i] << " = " << ys[i] << std::defaultfloat
                              << ", " << units << " units from MPFR's " << std::hexfloat << exact.Rounded()
                              << ", scalar path " << scalar[i];
        }
        EXPECT_EQ(failures, 0) << sample.name << ": of " << xs.size() << " arguments";
    }
}

INSTANTIATE_TEST_SUITE_P(Available, ElementaryFunctionOnPath, testing::ValuesIn(AvailableEvaluationPaths()),
                         [](const auto& info) { return std::string(EvaluationPathName(info.param)); });

} // namespace
