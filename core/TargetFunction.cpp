#include "core/TargetFunction.h"

#include "core/maths/F.h"
#include "core/maths/ScalarLanes.h"
#include "os/Compiler.h"

// The vector kernels' body on one double, inlined whole as theirs is.
ROOTFINDER_FLATTEN double TargetFunction(double x) { return maths::F<ScalarLanes>(x); }
