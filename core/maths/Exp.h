#pragma once
// e^x = 2^(k/128) e^r: k = round(x 128/ln 2), r = x - k ln 2/128 with |r| <= ln 2/256, 2^(k/128)
// from a table of 2^(j/128) with its exponent raised by k >> 7, and e^r - 1 by a polynomial.
// Error: the table and the polynomial are good to 2^-60, the reduction to 2^-62 of the result,
// so the result is within 0.51 units in the last place; every lane takes the same operations.
// Arguments beyond |x| <= 700, where the result or its last term could leave the normal range,
// and NaNs go to ExpBeyondNormalRange, one at a time.
#include "core/maths/Constants.h"
#include "core/maths/LaneArithmetic.h"
#include "core/maths/SlowPaths.h"

#include <cstdint>

namespace maths {

template <class Isa>
struct ExpParts {
    typename Isa::Bits scaleBits; // the bits of 2^(k/128) to 2^-53, exponent field wrapping freely
    Vec<Isa> tail;                // e^x = scale (1 + tail) to 2^-60
};

template <class Isa>
ExpParts<Isa> ExpReduced(Vec<Isa> x)
{
    const Vec<Isa> shifted = Isa::Add(Isa::Mul(x, Isa::Splat(kExpInvLn2N)), Isa::Splat(kRoundingShift));
    const typename Isa::Bits k = Isa::AsBits(shifted);
    const Vec<Isa> kd = Isa::Sub(shifted, Isa::Splat(kRoundingShift));
    // x - k hi is exact: k hi is, and it lies within a factor of two of x.
    const Vec<Isa> r = Isa::Sub(Isa::Sub(x, Isa::Mul(kd, Isa::Splat(kExpLn2HiN))), Isa::Mul(kd, Isa::Splat(kExpLn2LoN)));
    Vec<Isa> tableTail, tableScale;
    Isa::GatherPairs(kExpTable, Isa::AndBits(k, Isa::SplatBits(127)), tableTail, tableScale);
    const Vec<Isa> r2 = Isa::Mul(r, r);
    const Vec<Isa> low = Isa::Mul(r2, Isa::Add(Isa::Splat(kExpC2), Isa::Mul(r, Isa::Splat(kExpC3))));
    const Vec<Isa> high = Isa::Mul(Isa::Mul(r2, r2), Isa::Add(Isa::Splat(kExpC4), Isa::Mul(r, Isa::Splat(kExpC5))));
    return {Isa::AddBits(Isa::AsBits(tableScale), Isa::template ShiftLeft<45>(k)),
            Isa::Add(Isa::Add(Isa::Add(tableTail, r), low), high)};
}

template <class Isa>
Vec<Isa> Exp(Vec<Isa> x)
{
    const ExpParts<Isa> parts = ExpReduced<Isa>(x);
    const Vec<Isa> scale = Isa::AsDoubles(parts.scaleBits);
    const Vec<Isa> y = Isa::Add(scale, Isa::Mul(scale, parts.tail));
    return PatchLanes<Isa>(Isa::Beyond(Isa::Abs(x), Isa::Splat(700.0)), x, y, ExpBeyondNormalRange);
}

} // namespace maths
