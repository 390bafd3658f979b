#pragma once
// f(x) = e^x / x^3 - sin(x)^3 - 2 over the lanes of an instruction set: the one body that the
// scalar TargetFunction and every vector kernel instantiate, so every path and platform gives
// the same bits. Evaluated in binary64 in the order of the formula, on the tool's own exp, power
// and sin. Both cubes are the power function at the real exponent 3.0, and ours returns the
// correctly rounded cube there; sin(x) is a double before it is cubed.
#include "core/maths/Cube.h"
#include "core/maths/Exp.h"
#include "core/maths/LaneArithmetic.h"
#include "core/maths/Sin.h"

namespace maths {

template <class Isa>
Vec<Isa> F(Vec<Isa> x)
{
    // The cube and the exponential are independent: either order gives the same roundings (the
    // two orders measured alike, within noise).
    const Vec<Isa> p = CubePower<Isa>(x);
    const Vec<Isa> e = Exp<Isa>(x);
    const Vec<Isa> q = Isa::Div(e, p);
    const Vec<Isa> s = Sin<Isa>(x);
    const Vec<Isa> t = CubePower<Isa>(s);
    const Vec<Isa> r = Isa::Sub(q, t);
    return Isa::Sub(r, Isa::Splat(2.0));
}

} // namespace maths
