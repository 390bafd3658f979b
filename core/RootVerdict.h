#pragma once
// What a root line is worth, and which zeros of f the scan met. Every verdict is proven by
// ZeroEnclosures: nothing is guessed from the signs or sizes of f at a few points.
#include "core/CalculationRun.h"
#include "core/ZeroEnclosures.h"

#include <functional>
#include <vector>

// The first that applies, for a line with root r, step [left, right] and tolerance EPS. "Within
// EPS" means |z - r| <= EPS for the zero z itself, decided exactly.
enum class Verdict {
    NotFinite, // r or f(r) is an infinity or NaN
    Root,      // a zero of f lies within EPS of r
    Pole,      // the step holds x = 0, and no zero of f lies within EPS of r
    NoRoot,    // no zero of f lies within EPS of r
    Undecided, // none of these could be proven in the time allowed; never a wrong verdict
};

struct LineVerdict {
    Verdict verdict;
    bool inStep;     // r lies in [left, right]
    bool poleInStep; // the step holds the pole x = 0, whose sign change the scan cannot tell from a root's
    double lower;    // for Root, the narrowest enclosure in doubles of the zero nearest r, which holds
    double upper;    // no other zero (wider than 2 EPS where EPS is below the doubles' spacing); NaN otherwise
    double distance; // for Root, a proven upper bound on |z - r|, rounded up; NaN otherwise
};

// A zero of f on [min(a, b), max(a, b)], or a piece that could not be decided, with the
// numbers of the root lines whose root lies within EPS of it (empty where the scan missed it).
struct RunZero {
    ZeroEnclosure enclosure;
    std::vector<long long> lines;
};

// How long precision may keep rising for one line, and for all the zeros of a run.
inline constexpr std::chrono::milliseconds kLineTimeBound{250};
inline constexpr std::chrono::milliseconds kZerosTimeBound{2000};

LineVerdict JudgeRootLine(const RootRecord& line, double eps, VerifyClock::time_point deadline);
// Every line of a run, each given kLineTimeBound.
std::vector<LineVerdict> JudgeRootLines(const std::vector<RootRecord>& lines, double eps);

// Every zero of f on [min(a, b), max(a, b)], each as an enclosure narrower than eps (or between
// two adjacent doubles when eps is finer than their spacing), matched with the `lines` whose
// root lies within eps of it.
std::vector<RunZero> ZerosOfRun(const CalculationInputs& inputs, const std::vector<RootRecord>& lines,
                                VerifyClock::time_point deadline);
// The same within kZerosTimeBound.
std::vector<RunZero> ZerosOfRun(const CalculationInputs& inputs, const std::vector<RootRecord>& lines);

// The verdicts of a run's root lines, in order, and (when asked) the zeros of f on its interval.
struct RunVerdicts {
    std::vector<LineVerdict> lines;
    std::vector<RunZero> zeros;
};
RunVerdicts VerifyRun(const std::vector<RootRecord>& lines, const CalculationInputs& inputs, bool wantZeros);

// VerifyRun wherever it comes from: the programs load it from the module rootfinder-verify only
// when a verdict is asked for, so that Arb is loaded only then. Raises Exception.
using RunVerifier =
    std::function<RunVerdicts(const std::vector<RootRecord>& lines, const CalculationInputs& inputs, bool wantZeros)>;

// Makes the proofs ready; raises Exception when they cannot be had.
using RunVerifierLoader = std::function<RunVerifier()>;

// "not-finite", "root", "pole", "no-root", "undecided".
inline const char* VerdictName(Verdict verdict)
{
    switch (verdict) {
    case Verdict::NotFinite: return "not-finite";
    case Verdict::Root: return "root";
    case Verdict::Pole: return "pole";
    case Verdict::NoRoot: return "no-root";
    case Verdict::Undecided: break;
    }
    return "undecided";
}
