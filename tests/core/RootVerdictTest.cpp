// The proofs at their edges: non-finite lines, the regions decided without arithmetic, windows
// wider than the zeros' spacing or finer than the doubles', the pole on a step's end, and zeros a
// few units in the last place of EPS inside or outside r ± EPS (the documented cases are checked
// against 40-digit references by tests/verdicts).
#include "core/RootVerdict.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A zero z of f as the double nearest it and the rest: from mpmath's findroot at 50 digits,
// z = hi + lo to within 3e-32.
struct Zero {
    double hi, lo;
};
constexpr Zero kZero1{1.0191219364101882, -3.357752404832412e-17};
constexpr Zero kZero2{4.59529671652751, 1.5206822059525006e-16};

struct LineCase {
    const char* what;
    RootRecord line;
    double eps;
    Verdict verdict;
    bool inStep;
    Zero nearest{kNaN, 0}; // for a root whose window holds several zeros, the one nearest it
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.what; }

class JudgeRootLineTest : public testing::TestWithParam<LineCase> {};

TEST_P(JudgeRootLineTest, GivesTheFirstVerdictThatApplies)
{
    const LineCase& c = GetParam();
    const LineVerdict v = JudgeRootLine(c.line, c.eps, VerifyClock::now() + kLineTimeBound);
    EXPECT_EQ(VerdictName(v.verdict), std::string(VerdictName(c.verdict)));
    EXPECT_EQ(v.inStep, c.inStep);
    if (v.verdict == Verdict::Root) {
        // The enclosure lies within EPS of the root, and is as narrow as doubles allow.
        EXPECT_LE(c.line.root - c.eps, v.lower);
        EXPECT_LE(v.upper, c.line.root + c.eps);
        EXPECT_EQ(std::nextafter(v.lower, kInf), v.upper);
    } else {
        EXPECT_TRUE(std::isnan(v.lower) && std::isnan(v.upper));
    }
    if (!std::isnan(c.nearest.hi)) {
        // The nearest zero's own enclosure and its distance rounded up, whichever zero comes first.
        EXPECT_EQ(c.nearest.lo > 0 ? v.lower : v.upper, c.nearest.hi);
        const double distance = std::fabs((c.line.root - c.nearest.hi) - c.nearest.lo);
        EXPECT_LE(distance, v.distance);
        EXPECT_LE(v.distance, std::nextafter(distance, kInf));
    }
}

// {number, left, right, root, fRoot, updates}
INSTANTIATE_TEST_SUITE_P(
    Lines, JudgeRootLineTest,
    testing::Values(
        LineCase{"NaN root", {1, -0.5, 0.0, kNaN, kNaN, 1}, 1e-4, Verdict::NotFinite, false},
        LineCase{"infinite f", {1, -0.5, 0.0, 0.0, kInf, 1}, 1e-4, Verdict::NotFinite, true},
        LineCase{"beyond 7 f stays above 0", {1, 1e300, 2e300, 1.5e300, 1e308, 1}, 1e290, Verdict::NoRoot, true},
        LineCase{"a window around every zero", {1, 0, 10, 4, -1, 1}, 10, Verdict::Root, true, kZero2},
        // The root line of 4.5 4.7 0.1 4: its window holds the zero near 1.019 first.
        LineCase{"four zeros within EPS, the nearest not the first",
                 {1, 4.5, 4.6, 4.595987445868713, 0.0004828461765540304, 1},
                 4,
                 Verdict::Root,
                 true,
                 kZero2},
        LineCase{
            "EPS finer than the doubles near the root", {1, 1, 1.5, 1.0191219364, 0, 4}, 1e-30, Verdict::NoRoot, true},
        LineCase{"the pole on the step's left end", {1, 0, 1.5, 1.5, -1.66, 1}, 1e-4, Verdict::Pole, true},
        LineCase{"the pole on the step's right end", {1, -1.5, 0, -1.2, -1.5, 1}, 1e-4, Verdict::Pole, true}));

// r lies `ulps` units in the last place above z (below it where negative); EPS is |r - z| moved
// `epsUlps` units in its own last place outward (the zero lies within EPS) or inward (beyond it),
// some 1e-30: r ± EPS is no double, and only precision past the doubles' tells the side.
struct EdgeCase {
    const char* what;
    Zero zero;
    int ulps;
    int epsUlps;
    bool withTime; // precision may be raised; without, it stays at the first pass's
    bool poleInStep;
    Verdict verdict;
};

void PrintTo(const EdgeCase& c, std::ostream* os) { *os << c.what; }

class VerdictAtTheEdge : public testing::TestWithParam<EdgeCase> {};

TEST_P(VerdictAtTheEdge, TheZeroItselfDecidesAndTheMatchingAgrees)
{
    const EdgeCase& c = GetParam();
    double r = c.zero.hi;
    for (int i = 0; i < std::abs(c.ulps); ++i) r = std::nextafter(r, c.ulps > 0 ? kInf : -kInf);
    const double distance = std::fabs((r - c.zero.hi) - c.zero.lo); // r - hi is exact
    double eps = distance;
    for (int i = 0; i < std::abs(c.epsUlps); ++i) eps = std::nextafter(eps, c.epsUlps > 0 ? kInf : 0.0);
    const RootRecord line{7, c.poleInStep ? -0.5 : r - 0.25, r + 0.25, r, 0.0, 5};
    const auto deadline = [&] { return c.withTime ? VerifyClock::now() + kLineTimeBound : VerifyClock::now(); };

    const LineVerdict v = JudgeRootLine(line, eps, deadline());
    EXPECT_EQ(VerdictName(v.verdict), std::string(VerdictName(c.verdict)));
    EXPECT_EQ(v.poleInStep, c.poleInStep);
    if (c.verdict == Verdict::Root) {
        EXPECT_LE(v.lower, c.zero.hi);
        EXPECT_LE(c.zero.hi, v.upper);
        EXPECT_EQ(std::nextafter(v.lower, kInf), v.upper);
        // |z - r| rounded up: at or above its nearest double, and no bound beyond EPS.
        EXPECT_LE(distance, v.distance);
        EXPECT_LE(v.distance, std::min(eps, std::nextafter(distance, kInf)));
    } else {
        EXPECT_TRUE(std::isnan(v.distance));
    }

    // The zero lists the line unless it is proven beyond EPS.
    const auto zeros = ZerosOfRun({r - 0.5, r + 0.5, 0.1, eps}, {line}, deadline());
    const auto zero = std::find_if(zeros.begin(), zeros.end(), [&](const RunZero& z) {
        return z.enclosure.lower <= c.zero.hi && c.zero.hi <= z.enclosure.upper;
    });
    ASSERT_NE(zero, zeros.end());
    const bool beyond = c.verdict == Verdict::NoRoot || c.verdict == Verdict::Pole;
    EXPECT_EQ(zero->lines, beyond ? std::vector<long long>{} : std::vector<long long>{7});
}

INSTANTIATE_TEST_SUITE_P(
    Zeros, VerdictAtTheEdge,
    testing::Values(
        EdgeCase{"just within r - EPS", kZero2, 3, 4, true, false, Verdict::Root},
        EdgeCase{"just beyond r - EPS", kZero2, 3, -4, true, false, Verdict::NoRoot},
        EdgeCase{"just within r + EPS", kZero1, -2, 4, true, false, Verdict::Root},
        EdgeCase{"just beyond r + EPS", kZero1, -2, -4, true, false, Verdict::NoRoot},
        EdgeCase{"just beyond, the pole in the step", kZero2, 3, -4, true, true, Verdict::Pole},
        EdgeCase{"just within, no time to raise precision", kZero2, 3, 4, false, false, Verdict::Undecided},
        EdgeCase{"just beyond, no time to raise precision", kZero1, -2, -4, false, false, Verdict::Undecided},
        EdgeCase{"just beyond, the pole in the step, no time", kZero2, 3, -4, false, true, Verdict::Undecided}));

TEST(ZeroEnclosures, FindsTheFourZerosOnWhateverInterval)
{
    const auto deadline = VerifyClock::now() + kZerosTimeBound;
    struct Interval {
        double lower, upper;
        std::size_t zeros;
    };
    for (const Interval& i : {Interval{-kInf, kInf, 4}, Interval{-10, 10, 4}, Interval{4.5, 6.5, 3}, Interval{-1, 1, 0},
                              Interval{0, 0, 0}, Interval{1.1, 4.5, 0}}) {
        const auto pieces = ZeroEnclosures(i.lower, i.upper, deadline);
        EXPECT_EQ(pieces.size(), i.zeros) << i.lower << " " << i.upper;
        for (const ZeroEnclosure& piece : pieces) {
            EXPECT_EQ(piece.status, EnclosureStatus::Root);
            EXPECT_EQ(std::nextafter(piece.lower, kInf), piece.upper);
        }
    }
}

} // namespace
