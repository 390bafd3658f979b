// The proofs at their edges: non-finite lines, the regions decided without arithmetic, windows
// wider than the zeros' spacing or finer than the doubles' (the documented cases are checked
// against 40-digit references by tests/verdicts).
#include "RootVerdict.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct LineCase {
    const char* what;
    RootRecord line;
    double eps;
    Verdict verdict;
    bool inStep;
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
}

// {number, left, right, root, fRoot, updates}
INSTANTIATE_TEST_SUITE_P(
    Lines, JudgeRootLineTest,
    testing::Values(LineCase{"NaN root", {1, -0.5, 0.0, kNaN, kNaN, 1}, 1e-4, Verdict::NotFinite, false},
                    LineCase{"infinite f", {1, -0.5, 0.0, 0.0, kInf, 1}, 1e-4, Verdict::NotFinite, true},
                    LineCase{"beyond 7 f stays above 0", {1, 1e300, 2e300, 1.5e300, 1e308, 1}, 1e290, Verdict::NoRoot, true},
                    LineCase{"a window around every zero", {1, 0, 10, 4, -1, 1}, 10, Verdict::Root, true},
                    LineCase{"EPS finer than the doubles near the root", {1, 1, 1.5, 1.0191219364, 0, 4}, 1e-30,
                             Verdict::NoRoot, true}));

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
