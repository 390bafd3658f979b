#pragma once
// sin x: x = n pi/2 + r with |r| <= pi/4, r held as a double pair r = hi + lo, then sin r, cos r,
// -sin r or -cos r by n mod 4. For |x| <= 2^26, r comes from Cody and Waite's reduction with pi/2
// in four pieces (exact to 2^-106 |n|, far below |r| >= 2^-60.5, which the doubles nearest a
// multiple of pi/2 below 2^26 keep); beyond, and for infinities and NaNs, from SinOfLargeArgument,
// one at a time (Payne and Hanek's, exact). The leading terms are taken in double pairs, so what
// adds to the final rounding's half unit is mostly the polynomials' own rounding. No bound is
// proven: bench/maths_accuracy measures at most 0.5554 units in the last place, over 10^8 random
// arguments and 1 200 037 hard ones. For |x| < 2^-26, sin x rounds to x itself.
#include "core/maths/Constants.h"
#include "core/maths/LaneArithmetic.h"
#include "core/maths/SlowPaths.h"

namespace maths {

template <class Isa>
struct Reduction {
    typename Isa::Bits quadrant; // n in its low bits
    Vec<Isa> hi, lo;             // r = hi + lo, |lo| < 2^-52
};

// x = n pi/2 + r for |x| <= 2^26 (Cody and Waite), the quadrant n and r as a double pair.
template <class Isa>
Reduction<Isa> ReduceByHalfPi(Vec<Isa> x)
{
    const Vec<Isa> shifted = Isa::Add(Isa::Mul(x, Isa::Splat(kTwoOverPi)), Isa::Splat(kRoundingShift));
    const Vec<Isa> n = Isa::Sub(shifted, Isa::Splat(kRoundingShift));
    const Vec<Isa> first = Isa::Sub(x, Isa::Mul(n, Isa::Splat(kHalfPi1))); // exact
    const Pair<Isa> second = TwoSum<Isa>(first, Isa::Mul(n, Isa::Splat(-kHalfPi2)));
    const Pair<Isa> third = TwoSum<Isa>(second.hi, Isa::Mul(n, Isa::Splat(-kHalfPi3)));
    const Vec<Isa> rest = Isa::Sub(Isa::Add(second.lo, third.lo), Isa::Mul(n, Isa::Splat(kHalfPi4)));
    // Not renormalised: rest may reach some units of third.hi's last place where r is tiny, but it
    // stays below 2^-52 absolutely, and the polynomials take it to first order, which is exact
    // enough at that size.
    return {Isa::AsBits(shifted), third.hi, rest};
}

// sin r, cos r, -sin r or -cos r for n mod 4 = 0, 1, 2, 3. Each lane evaluates one of
//     sin r = hi - hi^3/6 + lo (1 - hi^2/2) + hi^5 S(hi^2)
//     cos r = 1 - hi^2/2 - lo (hi - hi^3/6) + hi^4 C(hi^2)
// as lead + (low + power P(hi^2)), the lead (hi - hi^3/6 or 1 - hi^2/2) a double pair, choosing
// the terms and the polynomial's coefficients lane by lane.
template <class Isa>
Vec<Isa> SinFromReduction(const Reduction<Isa>& r)
{
    const typename Isa::Mask cosine = Isa::OddLanes(r.quadrant);
    const Pair<Isa> z = TwoProduct<Isa>(r.hi, r.hi); // hi^2
    const Vec<Isa> half = Isa::Mul(z.hi, Isa::Splat(0.5));

    const Pair<Isa> cube = TwoProduct<Isa>(z.hi, r.hi); // hi^3 = cube + z.lo hi
    const Pair<Isa> sixth = TwoProduct<Isa>(cube.hi, Isa::Splat(kSinThirdHi));
    const Vec<Isa> cubeLow = Isa::Add(cube.lo, Isa::Mul(z.lo, r.hi));
    const Vec<Isa> sineLow = Isa::Add(Isa::Add(Isa::Add(sixth.lo, Isa::Mul(cubeLow, Isa::Splat(kSinThirdHi))),
                                               Isa::Mul(cube.hi, Isa::Splat(kSinThirdLo))),
                                      Isa::Sub(r.lo, Isa::Mul(r.lo, half)));
    const Vec<Isa> cosineLow = Isa::Sub(Isa::Mul(z.lo, Isa::Splat(-0.5)), Isa::Mul(r.lo, Isa::Add(r.hi, sixth.hi)));

    const Pair<Isa> lead = FastTwoSum<Isa>(Isa::Select(cosine, Isa::Splat(1.0), r.hi),
                                           Isa::Select(cosine, Isa::Sub(Isa::Splat(0.0), half), sixth.hi));
    const Vec<Isa> power = Isa::Mul(Isa::Select(cosine, z.hi, cube.hi), z.hi);
    Vec<Isa> series = Isa::Select(cosine, Isa::Splat(kCosC[5]), Isa::Splat(kSinS[5]));
    for (int i = 4; i >= 0; --i)
        series = Isa::Add(Isa::Mul(series, z.hi), Isa::Select(cosine, Isa::Splat(kCosC[i]), Isa::Splat(kSinS[i])));
    const Vec<Isa> low = Isa::Add(Isa::Select(cosine, cosineLow, sineLow), Isa::Mul(power, series));
    const Vec<Isa> value = Isa::Add(lead.hi, Isa::Add(lead.lo, low));

    const typename Isa::Bits negate = Isa::template ShiftLeft<62>(Isa::AndBits(r.quadrant, Isa::SplatBits(2)));
    return Isa::AsDoubles(Isa::XorBits(Isa::AsBits(value), negate));
}

template <class Isa>
Vec<Isa> Sin(Vec<Isa> x)
{
    const Vec<Isa> magnitude = Isa::Abs(x);
    const Vec<Isa> sine = SinFromReduction<Isa>(ReduceByHalfPi<Isa>(x));
    const Vec<Isa> y = Isa::Select(Isa::Below(magnitude, Isa::Splat(0x1p-26)), x, sine);
    return PatchLanes<Isa>(Isa::Beyond(magnitude, Isa::Splat(0x1p26)), x, y, SinOfLargeArgument);
}

} // namespace maths
