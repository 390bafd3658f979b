#include "RootVerdict.h"

#include "ExactArithmetic.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// a + b rounded down and up to doubles, from the exact sum.
double SumDown(double a, double b)
{
    const DoubleDouble s = TwoSum(a, b);
    if (s.hi == kInfinity) return std::numeric_limits<double>::max();
    if (!std::isfinite(s.hi)) return s.hi;
    return s.lo < 0 ? std::nextafter(s.hi, -kInfinity) : s.hi;
}

double SumUp(double a, double b)
{
    const DoubleDouble s = TwoSum(a, b);
    if (s.hi == -kInfinity) return std::numeric_limits<double>::lowest();
    if (!std::isfinite(s.hi)) return s.hi;
    return s.lo > 0 ? std::nextafter(s.hi, kInfinity) : s.hi;
}

// [r - eps, r + eps] with its ends rounded outward (`outer`) or inward (`inner`) to doubles: a
// zero proven outside `outer` is farther than eps from r, and one proven inside `inner` is not.
struct Window {
    double outerLower, outerUpper, innerLower, innerUpper;
};

Window WindowAround(double r, double eps)
{
    return {SumDown(r, -eps), SumUp(r, eps), SumUp(r, -eps), SumDown(r, eps)};
}

bool Within(const ZeroEnclosure& zero, const Window& window)
{
    return window.innerLower <= zero.lower && zero.upper <= window.innerUpper;
}

bool Touches(const ZeroEnclosure& piece, const Window& window)
{
    return piece.lower <= window.outerUpper && window.outerLower <= piece.upper;
}

} // namespace

LineVerdict JudgeRootLine(const RootRecord& line, double eps, VerifyClock::time_point deadline)
{
    LineVerdict result{Verdict::Undecided, line.left <= line.root && line.root <= line.right, kNaN, kNaN};
    if (!std::isfinite(line.root) || !std::isfinite(line.fRoot)) {
        result.verdict = Verdict::NotFinite;
        return result;
    }
    const Window window = WindowAround(line.root, eps);
    const auto pieces = ZeroEnclosures(window.outerLower, window.outerUpper, deadline);
    // Of the zeros proven within EPS, the one nearest the root.
    const ZeroEnclosure* nearest = nullptr;
    double nearestDistance = kInfinity;
    for (const ZeroEnclosure& piece : pieces) {
        if (piece.status != EnclosureStatus::Root || !Within(piece, window)) continue;
        const double distance = std::max(std::fabs(piece.lower - line.root), std::fabs(piece.upper - line.root));
        if (distance < nearestDistance) nearest = &piece, nearestDistance = distance;
    }
    if (nearest) {
        result.verdict = Verdict::Root;
        result.lower = nearest->lower;
        result.upper = nearest->upper;
    } else if (pieces.empty()) {
        result.verdict = line.left <= 0 && 0 <= line.right ? Verdict::Pole : Verdict::NoRoot;
    }
    return result;
}

std::vector<LineVerdict> JudgeRootLines(const std::vector<RootRecord>& lines, double eps)
{
    std::vector<LineVerdict> verdicts;
    verdicts.reserve(lines.size());
    for (const RootRecord& line : lines) verdicts.push_back(JudgeRootLine(line, eps, VerifyClock::now() + kLineTimeBound));
    return verdicts;
}

std::vector<RunZero> ZerosOfRun(const CalculationInputs& inputs, const std::vector<RootRecord>& lines)
{
    return ZerosOfRun(inputs, lines, VerifyClock::now() + kZerosTimeBound);
}

std::vector<RunZero> ZerosOfRun(const CalculationInputs& in, const std::vector<RootRecord>& lines,
                                VerifyClock::time_point deadline)
{
    std::vector<Window> windows;
    for (const RootRecord& line : lines) windows.push_back(WindowAround(line.root, in.eps));
    std::vector<RunZero> zeros;
    for (ZeroEnclosure piece : ZeroEnclosures(std::min(in.a, in.b), std::max(in.a, in.b), deadline)) {
        // Narrowing stops early only where the sign of f cannot be told: too wide is no answer.
        if (piece.status == EnclosureStatus::Root && !(piece.upper - piece.lower < in.eps) &&
            std::nextafter(piece.lower, kInfinity) != piece.upper)
            piece.status = EnclosureStatus::Undecided;
        RunZero zero{piece, {}};
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (!std::isfinite(lines[i].root)) continue;
            const bool near = piece.status == EnclosureStatus::Root ? Within(piece, windows[i]) : Touches(piece, windows[i]);
            if (near) zero.lines.push_back(lines[i].number);
        }
        zeros.push_back(std::move(zero));
    }
    return zeros;
}

RunVerdicts VerifyRun(const std::vector<RootRecord>& lines, const CalculationInputs& inputs, bool wantZeros)
{
    RunVerdicts verdicts{JudgeRootLines(lines, inputs.eps), {}};
    if (wantZeros) verdicts.zeros = ZerosOfRun(inputs, lines);
    return verdicts;
}
