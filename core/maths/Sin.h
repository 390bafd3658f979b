#pragma once
// sin x: x = n pi/2 + r with |r| <= pi/4, r held as a double pair r = hi + lo, then sin r, cos r,
// -sin r or -cos r by n mod 4. For |x| <= 2^26, r comes from Cody and Waite's reduction with pi/2
// in four pieces (exact to 2^-106 |n|, far below the 2^-61 that r keeps at the doubles nearest
// a multiple of pi/2); beyond, and for infinities and NaNs, from SinOfLargeArgument, one at a
// time (Payne and Hanek's, exact). Both polynomials take their leading terms in double pairs, so
// the result is within 0.52 units in the last place. For |x| < 2^-26, sin x rounds to x itself.
#include "Constants.h"
#include "LaneArithmetic.h"
#include "SlowPaths.h"

namespace maths {

template <class Isa>
struct Reduced {
    typename Isa::Bits quadrant; // n in its low bits
    Vec<Isa> hi, lo;             // r
};

template <class Isa>
Reduced<Isa> SinReduced(Vec<Isa> x)
{
    const Vec<Isa> shifted = Isa::Add(Isa::Mul(x, Isa::Splat(kTwoOverPi)), Isa::Splat(kRoundingShift));
    const Vec<Isa> n = Isa::Sub(shifted, Isa::Splat(kRoundingShift));
    const Vec<Isa> first = Isa::Sub(x, Isa::Mul(n, Isa::Splat(kHalfPi1))); // exact
    const Pair<Isa> second = TwoSum<Isa>(first, Isa::Mul(n, Isa::Splat(-kHalfPi2)));
    const Pair<Isa> third = TwoSum<Isa>(second.hi, Isa::Mul(n, Isa::Splat(-kHalfPi3)));
    const Vec<Isa> rest = Isa::Sub(Isa::Add(second.lo, third.lo), Isa::Mul(n, Isa::Splat(kHalfPi4)));
    const Pair<Isa> r = TwoSum<Isa>(third.hi, rest);
    return {Isa::AsBits(shifted), r.hi, r.lo};
}

// sin r, cos r, -sin r or -cos r for n mod 4 = 0, 1, 2, 3.
template <class Isa>
Vec<Isa> SinOfReduced(const Reduced<Isa>& r)
{
    const Pair<Isa> z = TwoProduct<Isa>(r.hi, r.hi); // hi^2

    // sin r = hi - hi^3/6 + lo (1 - hi^2/2) + hi^5 S(hi^2), the first two terms in double pairs.
    const Pair<Isa> cube = TwoProduct<Isa>(z.hi, r.hi); // hi^3 = cube + z.lo hi
    const Pair<Isa> sixth = TwoProduct<Isa>(cube.hi, Isa::Splat(kSinThirdHi));
    const Vec<Isa> cubeLow = Isa::Add(cube.lo, Isa::Mul(z.lo, r.hi));
    const Vec<Isa> sixthLow = Isa::Add(Isa::Add(sixth.lo, Isa::Mul(cubeLow, Isa::Splat(kSinThirdHi))),
                                       Isa::Mul(cube.hi, Isa::Splat(kSinThirdLo)));
    const Vec<Isa> loTerm = Isa::Sub(r.lo, Isa::Mul(r.lo, Isa::Mul(z.hi, Isa::Splat(0.5))));
    const Vec<Isa> fifth = Isa::Mul(Isa::Mul(cube.hi, z.hi), Polynomial<Isa>(z.hi, kSinS));
    const Pair<Isa> lead = FastTwoSum<Isa>(r.hi, sixth.hi);
    const Vec<Isa> sine = Isa::Add(lead.hi, Isa::Add(lead.lo, Isa::Add(Isa::Add(sixthLow, loTerm), fifth)));

    // cos r = 1 - hi^2/2 - hi lo + hi^4 C(hi^2), 1 - hi^2/2 in a double pair.
    const Vec<Isa> half = Isa::Mul(z.hi, Isa::Splat(0.5));
    const Vec<Isa> one = Isa::Splat(1.0);
    const Vec<Isa> w = Isa::Sub(one, half);
    const Vec<Isa> wLow = Isa::Sub(Isa::Sub(Isa::Sub(one, w), half), Isa::Mul(z.lo, Isa::Splat(0.5)));
    const Vec<Isa> fourth = Isa::Mul(Isa::Mul(z.hi, z.hi), Polynomial<Isa>(z.hi, kCosC));
    const Vec<Isa> cosine = Isa::Add(w, Isa::Add(Isa::Sub(wLow, Isa::Mul(r.hi, r.lo)), fourth));

    const Vec<Isa> value = Isa::Select(Isa::OddLanes(r.quadrant), cosine, sine);
    const typename Isa::Bits negate = Isa::template ShiftLeft<62>(Isa::AndBits(r.quadrant, Isa::SplatBits(2)));
    return Isa::AsDoubles(Isa::XorBits(Isa::AsBits(value), negate));
}

template <class Isa>
Vec<Isa> Sin(Vec<Isa> x)
{
    const Vec<Isa> magnitude = Isa::Abs(x);
    const Vec<Isa> y = Isa::Select(Isa::Below(magnitude, Isa::Splat(0x1p-26)), x, SinOfReduced<Isa>(SinReduced<Isa>(x)));
    return PatchLanes<Isa>(Isa::Beyond(magnitude, Isa::Splat(0x1p26)), x, y, SinOfLargeArgument);
}

} // namespace maths
