#include "core/TargetFunction.h"

#include "core/maths/F.h"
#include "core/maths/ScalarLanes.h"

// The vector kernels' body on one double, inlined whole as theirs is.
#if defined(__GNUC__)
[[gnu::flatten]]
#endif
double TargetFunction(double x)
{
    return maths::F<ScalarLanes>(x);
}
