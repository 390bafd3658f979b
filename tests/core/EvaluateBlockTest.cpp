// EvaluateBlock: every vector path this build and CPU have, forced in turn, against the scalar
// TargetFunction: the same doubles, and the same report lines.
#include "core/CalculationRun.h"
#include "core/EvaluateBlock.h"
#include "core/TargetFunction.h"
#include "tests/core/RunRecorder.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr EvaluationPath kAllPaths[] = {EvaluationPath::Scalar, EvaluationPath::Sse2, EvaluationPath::Avx2,
                                        EvaluationPath::Avx512, EvaluationPath::AdvSimd};

// Puts a path in force for one scope, and the one before it back afterwards.
class ForcedPath {
public:
    explicit ForcedPath(EvaluationPath path) : previous_(ActiveEvaluationPath()), ok_(ForceEvaluationPath(path)) {}
    ~ForcedPath() { ForceEvaluationPath(previous_); }
    bool Ok() const { return ok_; }

private:
    EvaluationPath previous_;
    bool ok_;
};

class EvaluateBlockPath : public testing::TestWithParam<EvaluationPath> {};

TEST_P(EvaluateBlockPath, GivesTheScalarValuesBits)
{
    ForcedPath forced(GetParam());
    ASSERT_TRUE(forced.Ok());
    constexpr double kInf = std::numeric_limits<double>::infinity(), kNaN = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> xs = {0.0,   -0.0,   1e-110, -1e-110, 1e-300, kInf,  -kInf, kNaN, 709.7,
                              710.0, -745.2, 1e200,  -1e200,  5e102,  6e102, 1e15,  -3.1, 1.0191219364101882};
    std::mt19937_64 random(3);
    for (int i = 0; i < 20000; ++i) {
        const int exponent = std::uniform_int_distribution<int>(-60, 12)(random);
        xs.push_back(std::ldexp(std::uniform_real_distribution<double>(-1.0, 1.0)(random), exponent));
        xs.push_back(std::bit_cast<double>(random())); // any double at all
    }
    std::vector<double> ys(xs.size());
    EvaluateBlock(xs.data(), ys.data(), xs.size()); // an odd count: a padded tail too
    for (std::size_t i = 0; i < xs.size(); ++i)
        ASSERT_TRUE(SameDouble(ys[i], TargetFunction(xs[i]))) << "f(" << xs[i] << ")";
}

// Every path writes the same report and plots the same points as the scalar one.
TEST_P(EvaluateBlockPath, WritesTheSameReportAsTheScalarPathOnAThousandRuns)
{
    std::vector<CalculationInputs> runs = {{1, 5, 0.1, 1e-4},     {1, 10, 0.5, 1e-4},   {-1, 1, 0.1, 1e-4},
                                           {0.5, 0.5, 0.1, 1e-4}, {-3, 4.9, 0.1, 1e-4}, {-1, 1, 0.5, 1e-4}};
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> end(-10.0, 12.0), step(0.001, 0.7), tolerance(1e-9, 1e-2);
    for (int i = 0; i < 1000; ++i) runs.push_back({end(random), end(random), step(random), tolerance(random)});

    for (const CalculationInputs& in : runs) {
        RunRecorder scalar, vector;
        {
            ForcedPath forced(EvaluationPath::Scalar);
            CalculationRun(in, scalar.Report(), scalar.Plot());
        }
        {
            ForcedPath forced(GetParam());
            CalculationRun(in, vector.Report(), vector.Plot());
        }
        ASSERT_EQ(vector.Lines(), scalar.Lines()) << in.a << " " << in.b << " " << in.h << " " << in.eps;
        const auto points = vector.Points(), reference = scalar.Points();
        ASSERT_EQ(points.size(), reference.size());
        for (std::size_t k = 0; k < points.size(); ++k) {
            ASSERT_EQ(points[k].x, reference[k].x);
            ASSERT_TRUE(SameDouble(points[k].y, reference[k].y)) << "f(" << points[k].x << ")";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Available, EvaluateBlockPath, testing::ValuesIn(AvailableEvaluationPaths()),
                         [](const auto& info) { return std::string(EvaluationPathName(info.param)); });

TEST(EvaluateBlockDispatch, TheScalarPathIsAlwaysThereAndAnUnavailablePathIsRefused)
{
    EXPECT_TRUE(EvaluationPathAvailable(EvaluationPath::Scalar));
    for (EvaluationPath path : kAllPaths) {
        const EvaluationPath before = ActiveEvaluationPath();
        const bool forced = ForceEvaluationPath(path);
        EXPECT_EQ(forced, EvaluationPathAvailable(path)) << EvaluationPathName(path);
        EXPECT_EQ(ActiveEvaluationPath(), forced ? path : before) << EvaluationPathName(path);
        ForceEvaluationPath(before);
    }
}

} // namespace
