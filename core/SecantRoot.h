#pragma once
// Secant refinement: x2 = x1 - (x1 - x0) * f1 / (f1 - f0), then the newest two points are
// kept whatever their signs, until two successive approximations lie within eps.
#include "core/ExactArithmetic.h"
#include "core/TargetFunction.h"

#include <cmath>

// A refinement with its story: the last approximation (the root), f there (the refinement's own
// last evaluation) and the number of updates it made.
struct SecantResult {
    double root;
    double fRoot;
    int updates;
};

// Refines a root of TargetFunction from the starting points x0 and x1 (x1 is the newer one).
// Raises Exception when it has not settled after secant_detail::kMaxUpdates updates.
SecantResult SecantRoot(double x0, double x1, double eps);

namespace secant_detail {

// Far above the handful of updates that a convergent refinement makes; only an eps below
// what the approximations can resolve (or a cycle) gets here.
inline constexpr int kMaxUpdates = 1000;

[[noreturn]] void RaiseNoConvergence(double x0, double x1, int updates);

// One update, x1 - ((x1 - x0) * f1) / (f1 - f0): the differences, the product and the
// quotient are carried as double pairs and only the new approximation is rounded to a double.
inline double SecantStep(double x0, double x1, double f0, double f1)
{
    const DoubleDouble numerator = Multiply(TwoSum(x1, -x0), f1);
    const DoubleDouble denominator = TwoSum(f1, -f0);
    if (!std::isfinite(numerator.hi) || !std::isfinite(denominator.hi) || denominator.hi == 0)
        return x1 - numerator.hi / denominator.hi; // the infinity or NaN of the plain formula
    return SubtractRounded(x1, Divide(numerator, denominator));
}

// The iteration itself, over any function; `updates` receives the number of updates made and
// `fLast` the function's value at the returned approximation.
template <class Function>
double Iterate(double x0, double x1, double eps, Function&& f, int& updates, double& fLast)
{
    const double start0 = x0, start1 = x1;
    double f0 = f(x0);
    double f1 = f(x1);
    double x2, d;
    updates = 0;
    do {
        if (updates == kMaxUpdates) RaiseNoConvergence(start0, start1, updates);
        x2 = SecantStep(x0, x1, f0, f1);
        d = std::fabs(x1 - x2);
        x0 = x1;
        x1 = x2;
        f0 = f1;
        f1 = f(x2);
        ++updates;
    } while (d > eps); // a NaN step ends the loop as well
    fLast = f1;
    return x2;
}

} // namespace secant_detail
