#pragma once
// x^3 as a correctly rounded pow(x, 3.0) returns it: the exact cube of the double x, rounded once
// to the nearest double, ties to even. Not x * x * x, which rounds twice.
//
// x^2 = p + pe and p x = c + ce exactly (error-free products), so x^3 = c + ce + pe x, and
// t = fl(ce + fl(pe x)) is within 2^-103 |c| of the exact tail ce + pe x. Wherever c + fl(t - m)
// and c + fl(t + m), m = 2^-100 |c|, round to the same double, so does the exact cube, and that
// double is fl(c + t). Elsewhere (a cube within 2^-100 of halfway between two doubles, which
// random doubles never give but small integers' neighbours do) and outside 2^-256 <= |x| <= 2^256,
// where a product's error could underflow, the cube is taken exactly in integers.
#include "core/maths/LaneArithmetic.h"
#include "core/maths/SlowPaths.h"

namespace maths {

template <class Isa>
Vec<Isa> CubePower(Vec<Isa> x)
{
    const Pair<Isa> square = TwoProduct<Isa>(x, x);
    const Pair<Isa> cube = TwoProduct<Isa>(square.hi, x);
    const Vec<Isa> tail = Isa::Add(cube.lo, Isa::Mul(square.lo, x));
    const Vec<Isa> margin = Isa::Mul(Isa::Abs(cube.hi), Isa::Splat(0x1p-100));
    const Vec<Isa> above = Isa::Add(cube.hi, Isa::Add(tail, margin));
    const Vec<Isa> below = Isa::Add(cube.hi, Isa::Sub(tail, margin));
    const Vec<Isa> magnitude = Isa::Abs(x);
    const typename Isa::Mask slow = Isa::Either(
        Isa::Either(Isa::Beyond(magnitude, Isa::Splat(0x1p256)), Isa::Below(magnitude, Isa::Splat(0x1p-256))),
        Isa::Differ(above, below));
    return PatchLanes<Isa>(slow, x, Isa::Add(cube.hi, tail), ExactCube);
}

} // namespace maths
