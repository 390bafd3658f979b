// The accuracy of f's elementary functions against MPFR, over random doubles across their whole
// domain and a list of hard cases, on every evaluation path the CPU runs:
//
//     maths_accuracy [COUNT]    (COUNT random arguments per function, default 10^8)
//
// For e^x and sin x it prints the largest error in units of the last place (of the exact value,
// with the subnormals' unit below 2^-1022), and for the cube the number of results that are not
// the exact cube rounded to nearest and how many of those x * x * x would have got wrong. Every
// path must give the scalar path's bits: a difference is counted and fails the run.
#include "tests/core/MpfrReference.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

struct Tally {
    double worst = 0;
    double worstAt = 0;
    std::uint64_t checked = 0;
    std::uint64_t notCorrectlyRounded = 0;
    std::uint64_t naiveWrong = 0; // cube: x * x * x differs from the exact cube rounded
    std::uint64_t pathDifferences = 0;

    void Merge(const Tally& other)
    {
        if (other.worst > worst) worst = other.worst, worstAt = other.worstAt;
        checked += other.checked;
        notCorrectlyRounded += other.notCorrectlyRounded;
        naiveWrong += other.naiveWrong;
        pathDifferences += other.pathDifferences;
    }
};

// Checks one block of arguments: every path against the scalar one, the scalar one against MPFR.
void Check(ElementaryFunction function, const std::vector<double>& xs, Tally& tally)
{
    std::vector<double> reference(xs.size()), ys(xs.size());
    EvaluateElementary(function, EvaluationPath::Scalar, xs.data(), reference.data(), xs.size());
    for (EvaluationPath path : AvailableEvaluationPaths()) {
        EvaluateElementary(function, path, xs.data(), ys.data(), xs.size());
        for (std::size_t i = 0; i < xs.size(); ++i)
            if (!SameBits(ys[i], reference[i])) {
                if (tally.pathDifferences++ < 10)
                    std::printf("  path %s differs at %a: %a against %a\n",
                                std::string(EvaluationPathName(path)).c_str(), xs[i], ys[i], reference[i]);
            }
    }
    for (std::size_t i = 0; i < xs.size(); ++i) {
        const ExactValue exact(function, xs[i]);
        const double error = exact.UnitsOff(reference[i]);
        if (error > tally.worst) tally.worst = error, tally.worstAt = xs[i];
        if (!SameBits(reference[i], exact.Rounded())) ++tally.notCorrectlyRounded;
        if (function == ElementaryFunction::Cube && !SameBits(xs[i] * xs[i] * xs[i], exact.Rounded()))
            ++tally.naiveWrong;
        ++tally.checked;
    }
}

std::vector<Source> Sources(ElementaryFunction function)
{
    switch (function) {
    case ElementaryFunction::Exp:
        return {{Source::AnyBits, 0, 0},
                {Source::Interval, -746, 710},
                {Source::Interval, -746, 710},
                {Source::Exponents, -60, 10}};
    case ElementaryFunction::Sin:
        return {{Source::AnyBits, 0, 0},
                {Source::Interval, -10, 10},
                {Source::Exponents, -30, 30},
                {Source::Exponents, 26, 1024}};
    case ElementaryFunction::Cube: return {{Source::AnyBits, 0, 0}, {Source::Exponents, -400, 400}};
    }
    return {};
}

// Where the functions are hardest: the ends of their ranges, their special values, the doubles
// nearest multiples of pi/2, and cubes halfway between two doubles.
std::vector<double> HardCases(ElementaryFunction function)
{
    const double nan = std::numeric_limits<double>::quiet_NaN(), tiny = std::numeric_limits<double>::denorm_min(),
                 huge = std::numeric_limits<double>::max();
    std::vector<double> xs = {0.0, -0.0, kInf, -kInf, nan, tiny, -tiny, 0x1p-1022, -0x1p-1022, 1.0, -1.0, huge, -huge};
    const auto around = [&](double x, int count) {
        for (int i = 0; i < count; ++i) {
            xs.push_back(x);
            xs.push_back(-x);
            x = std::nextafter(x, kInf);
        }
    };
    switch (function) {
    case ElementaryFunction::Exp:
        for (double x : {708.0, 709.782712893384, 709.8, 745.1332191019411, 745.2, 0x1p-54, 0x1.62e42fefa39efp-9})
            around(std::nextafter(x, 0.0), 3);
        break;
    case ElementaryFunction::Sin:
        for (double x : {0x1p-26, 0x1p26, 0x1.921fb54442d18p0, 1e22, 0x1.6ac5b262ca1ffp849})
            around(std::nextafter(x, 0.0), 3);
        for (int k = 1; k < 200000; ++k) around(std::nextafter(k * 0x1.921fb54442d18p0, 0.0), 3);
        break;
    case ElementaryFunction::Cube:
        for (double x : {0x1p-256, 0x1p256, 0x1p-341, 0x1p-358, 5.643803094122362e102})
            around(std::nextafter(x, 0.0), 3);
        // odd integers below 2^18 have cubes of at most 54 bits: some lie halfway between doubles
        for (double m = 1; m < 0x1p18; m += 2) xs.push_back(m);
        break;
    }
    return xs;
}

const char* Name(ElementaryFunction function)
{
    return function == ElementaryFunction::Exp ? "exp" : function == ElementaryFunction::Sin ? "sin" : "cube";
}

} // namespace

int main(int argc, char** argv)
{
    const std::uint64_t count = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 100'000'000;
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    std::printf("paths:");
    for (EvaluationPath path : AvailableEvaluationPaths())
        std::printf(" %s", std::string(EvaluationPathName(path)).c_str());
    std::printf("; %" PRIu64 " random arguments per function, %u threads\n", count, threads);
    bool ok = true;
    for (ElementaryFunction function : {ElementaryFunction::Exp, ElementaryFunction::Sin, ElementaryFunction::Cube}) {
        Tally hard;
        Check(function, HardCases(function), hard);
        std::vector<Tally> tallies(threads);
        std::vector<std::thread> workers;
        for (unsigned t = 0; t < threads; ++t)
            workers.emplace_back([&, t] {
                std::mt19937_64 random(1000 * t + static_cast<unsigned>(function));
                const std::vector<Source> sources = Sources(function);
                constexpr std::size_t kBlock = 4096;
                std::vector<double> xs(kBlock);
                for (std::uint64_t done = t * kBlock; done < count; done += threads * kBlock) {
                    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, count - done));
                    xs.resize(n);
                    for (std::size_t i = 0; i < n; ++i) xs[i] = sources[i % sources.size()].Draw(random);
                    Check(function, xs, tallies[t]);
                }
            });
        for (std::thread& worker : workers) worker.join();
        Tally random;
        for (const Tally& tally : tallies) random.Merge(tally);
        for (const auto& [label, tally] : {std::pair{"hard cases", hard}, std::pair{"random", random}}) {
            std::printf("%-4s %-10s %11" PRIu64 " arguments: largest error %.4f ulp (at %a)", Name(function), label,
                        tally.checked, tally.worst, tally.worstAt);
            if (function == ElementaryFunction::Cube)
                std::printf(", %" PRIu64 " not correctly rounded (x * x * x: %" PRIu64 ")", tally.notCorrectlyRounded,
                            tally.naiveWrong);
            else std::printf(", %" PRIu64 " not correctly rounded", tally.notCorrectlyRounded);
            std::printf(", %" PRIu64 " path differences\n", tally.pathDifferences);
            ok = ok && tally.pathDifferences == 0 && tally.worst < 1 &&
                 (function != ElementaryFunction::Cube || tally.notCorrectlyRounded == 0);
        }
        std::fflush(stdout);
    }
    return ok ? 0 : 1;
}
