#include "core/TargetFunction.h"

#include "core/maths/Cube.h"
#include "core/maths/Exp.h"
#include "core/maths/ScalarLanes.h"
#include "core/maths/Sin.h"

// Evaluated in binary64 in the order of the formula, on the tool's own exp, power and sin, whose
// bodies the vector paths share, so every path and platform gives the same bits. Both cubes are
// the power function at the real exponent 3.0, and ours returns the correctly rounded cube there;
// sin(x) is a double before it is cubed.
double TargetFunction(double x)
{
    const double e = maths::Exp<ScalarLanes>(x);
    const double p = maths::CubePower<ScalarLanes>(x);
    const double q = e / p;
    const double s = maths::Sin<ScalarLanes>(x);
    const double t = maths::CubePower<ScalarLanes>(s);
    const double r = q - t;
    return r - 2;
}
