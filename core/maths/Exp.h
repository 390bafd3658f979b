#pragma once
// e^x = 2^(k/128) e^r: k = round(x 128/ln 2), r = x - k ln 2/128 with |r| <= ln 2/256 (2^-8.53),
// 2^(k/128) = s (1 + t) 2^(k >> 7) from a table of s and t, and e^r - 1 by its Taylor polynomial
// of degree 5. With the scale s 2^(k >> 7), e^x = scale (1 + T), T = t + (e^r - 1) + t (e^r - 1);
// the tail computed, t + r + r^2 (c2 + c3 r) + r^4 (c4 + c5 r), misses T, in units of scale, by
//     r's rounding (x - k hi is exact, k lo is good to 2^-76)   2^-62
//     the Taylor remainder, |r|^6/720 e^|r|                      2^-60.66
//     the three sums, each below 2^-8 in magnitude               3 2^-62
//     the term t (e^r - 1) left out, |t| <= 2^-53              2^-61.53
//     the rounding of the terms in r^2 and beyond                below 2^-69
// and the product scale tail adds at most half a unit of its own last place, 2^-61.53 of scale:
// 2^-58.78 of scale in all. A unit in the last place of e^x exceeds 2^-53 e^x, and e^x exceeds
// scale e^-|r| (1 - 2^-53), so with the final sum's rounding, half a unit, the result is within
// 0.5183 units in the last place (bench/maths_accuracy measures 0.5116). Every lane takes the
// same operations.
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
    Vec<Isa> tail;                // e^x = scale (1 + tail) to 2^-59
};

// e^x = scale (1 + tail), as above: the scale's bits and the whole tail.
template <class Isa>
ExpParts<Isa> ExpInParts(Vec<Isa> x)
{
    const Vec<Isa> shifted = Isa::Add(Isa::Mul(x, Isa::Splat(kExpInvLn2N)), Isa::Splat(kRoundingShift));
    const typename Isa::Bits k = Isa::AsBits(shifted);
    const Vec<Isa> kd = Isa::Sub(shifted, Isa::Splat(kRoundingShift));
    // x - k hi is exact: k hi is, and it lies within a factor of two of x.
    const Vec<Isa> r =
        Isa::Sub(Isa::Sub(x, Isa::Mul(kd, Isa::Splat(kExpLn2HiN))), Isa::Mul(kd, Isa::Splat(kExpLn2LoN)));
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
    const ExpParts<Isa> parts = ExpInParts<Isa>(x);
    const Vec<Isa> scale = Isa::AsDoubles(parts.scaleBits);
    const Vec<Isa> y = Isa::Add(scale, Isa::Mul(scale, parts.tail));
    return PatchLanes<Isa>(Isa::Beyond(Isa::Abs(x), Isa::Splat(700.0)), x, y, ExpBeyondNormalRange);
}

} // namespace maths
