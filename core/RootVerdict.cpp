#include "core/RootVerdict.h"

#include "core/ExactArithmetic.h"

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

// [r - eps, r + eps] with its ends rounded outward to doubles: a zero outside it is farther than
// eps from r.
struct Window {
    double lower, upper;
};

Window WindowAround(double r, double eps) { return {SumDown(r, -eps), SumUp(r, eps)}; }

bool Touches(const ZeroEnclosure& piece, const Window& window)
{
    return piece.lower <= window.upper && window.lower <= piece.upper;
}

} // namespace

LineVerdict JudgeRootLine(const RootRecord& line, double eps, VerifyClock::time_point deadline)
{
    LineVerdict result{Verdict::Undecided,
                       line.left <= line.root && line.root <= line.right,
                       line.left <= 0 && 0 <= line.right,
                       kNaN,
                       kNaN,
                       kNaN};
    if (!std::isfinite(line.root) || !std::isfinite(line.fRoot)) {
        result.verdict = Verdict::NotFinite;
        return result;
    }
    const Window window = WindowAround(line.root, eps);
    bool untold = false;
    // Of the zeros within EPS, the one nearest the root.
    for (const ZeroEnclosure& piece : ZeroEnclosures(window.lower, window.upper, deadline)) {
        const int within = piece.status == EnclosureStatus::Root ? ZeroWithin(piece, line.root, eps, deadline) : 0;
        if (within == 0) untold = true;
        if (within <= 0) continue;
        const double distance = ZeroDistanceBound(piece, line.root, deadline);
        if (result.verdict == Verdict::Root && result.distance <= distance) continue;
        result.verdict = Verdict::Root;
        result.lower = piece.lower;
        result.upper = piece.upper;
        result.distance = distance;
    }
    if (result.verdict != Verdict::Root && !untold)
        result.verdict = result.poleInStep ? Verdict::Pole : Verdict::NoRoot;
    return result;
}

std::vector<LineVerdict> JudgeRootLines(const std::vector<RootRecord>& lines, double eps)
{
    std::vector<LineVerdict> verdicts;
    verdicts.reserve(lines.size());
    for (const RootRecord& line : lines)
        verdicts.push_back(JudgeRootLine(line, eps, VerifyClock::now() + kLineTimeBound));
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
            // A zero's own distance decides where it can be told; a piece left undecided, or a zero
            // whose side of r ± EPS could not be told, may be the line's.
            const bool near = Touches(piece, windows[i]) && (piece.status != EnclosureStatus::Root ||
                                                             ZeroWithin(piece, lines[i].root, in.eps, deadline) >= 0);
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
