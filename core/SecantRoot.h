#pragma once
// Secant refinement: x2 = x1 - (x1 - x0) * f1 / (f1 - f0), then the newest two points are
// kept whatever their signs, until two successive approximations lie within eps.
#include "TargetFunction.h"

#include <cmath>

// Refines a root of TargetFunction from the starting points x0 and x1 (x1 is the newer one)
// and returns the last approximation. Raises Exception when it has not settled after
// secant_detail::kMaxUpdates updates.
double SecantRoot(double x0, double x1, double eps);

namespace secant_detail {

// Far above the handful of updates that a convergent refinement makes; only an eps below
// what the approximations can resolve (or a cycle) gets here.
inline constexpr int kMaxUpdates = 1000;

[[noreturn]] void RaiseNoConvergence(double x0, double x1, int updates);

// The iteration itself, over any function; `updates` receives the number of updates made.
template <class Function>
double Iterate(double x0, double x1, double eps, Function&& f, int& updates)
{
    const double start0 = x0, start1 = x1;
    double f0 = f(x0);
    double f1 = f(x1);
    double x2, d;
    updates = 0;
    do {
        if (updates == kMaxUpdates) RaiseNoConvergence(start0, start1, updates);
        // The differences, the product and the quotient stay in extended precision; only
        // the new approximation is rounded to a double.
        x2 = static_cast<double>(x1 - (static_cast<long double>(x1) - x0) * f1 / (static_cast<long double>(f1) - f0));
        d = std::fabs(x1 - x2);
        x0 = x1;
        x1 = x2;
        f0 = f1;
        f1 = f(x2);
        ++updates;
    } while (d > eps); // a NaN step ends the loop as well
    return x2;
}

} // namespace secant_detail
