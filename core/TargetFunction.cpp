#include "TargetFunction.h"

#include <cmath>

// Evaluated in binary64 throughout: extended intermediates change no digit the tool shows
// and cost almost four times as much (expl and powl against exp and pow). Both cubes go
// through pow with the real exponent 3.0, and sin(x) is a double before it is cubed.
double TargetFunction(double x)
{
    const double e = std::exp(x);
    const double p = std::pow(x, 3.0);
    const double q = e / p;
    const double s = std::sin(x);
    const double t = std::pow(s, 3.0);
    const double r = q - t;
    return r - 2;
}
