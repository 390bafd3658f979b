#pragma once
// The building blocks of the elementary functions, over the lanes of an instruction set `Isa`
// (one double for the scalar path, a vector for the others; see core/simd/). Everything is an
// operation on doubles rounded to nearest, so every instruction set gives every lane the same
// bits. The functions are templates on `Isa`; each vector instruction set's type has internal
// linkage in its own file, so no two files compiled for different instruction sets ever share a
// copy (the scalar lanes are used only by files compiled for the baseline instruction set).
//
// The error-free transformations below return a pair {hi, lo} whose exact sum is the exact result
// of the operation, with hi the operation rounded to a double. They need round-to-nearest binary64
// arithmetic without contraction into fused multiply-adds (the build disables contraction).
// core/ExactArithmetic.h gives them on one double, for the run's own double pairs.
#include <cstddef>

namespace maths {

// Adding it to a double below 2^51 in magnitude rounds that to an integer, which the low bits of
// the sum then hold in two's complement.
inline constexpr double kRoundingShift = 0x1.8p52;

template <class Isa>
using Vec = typename Isa::Vector;

template <class Isa>
struct Pair {
    Vec<Isa> hi, lo;
};

// a + b = hi + lo exactly, hi = fl(a + b) (Knuth), unless the sum overflows.
template <class Isa>
Pair<Isa> TwoSum(Vec<Isa> a, Vec<Isa> b)
{
    const Vec<Isa> sum = Isa::Add(a, b);
    const Vec<Isa> bPart = Isa::Sub(sum, a);
    const Vec<Isa> aPart = Isa::Sub(sum, bPart);
    return {sum, Isa::Add(Isa::Sub(a, aPart), Isa::Sub(b, bPart))};
}

// As TwoSum, for |a| >= |b| or a = 0 (Dekker).
template <class Isa>
Pair<Isa> FastTwoSum(Vec<Isa> a, Vec<Isa> b)
{
    const Vec<Isa> sum = Isa::Add(a, b);
    return {sum, Isa::Sub(b, Isa::Sub(sum, a))};
}

// a * b = hi + lo exactly, hi = fl(a * b), unless the product overflows (lo is then 0 on the
// scalar lanes and unspecified on the others) or its rounding error lies below the smallest
// subnormal. The error is the instruction set's: a fused multiply-add where it has one, else
// DekkerProductError.
template <class Isa>
Pair<Isa> TwoProduct(Vec<Isa> a, Vec<Isa> b)
{
    const Vec<Isa> product = Isa::Mul(a, b);
    return {product, Isa::ProductError(a, b, product)};
}

// The rounding error a * b - product of product = fl(a * b) by Dekker's algorithm, for the
// instruction sets that have no fused multiply-add, under TwoProduct's terms: each factor split
// into two halves of at most 26 significant bits (Veltkamp), whose products are exact. A factor
// above 2^996 would overflow the splitting constant; a finite product can have one, rarely
// enough that the lanes are tested for it once and only then take the factor, the product and
// so the error scaled down by 2^28, exactly.
template <class Isa>
Vec<Isa> DekkerProductError(Vec<Isa> a, Vec<Isa> b, Vec<Isa> product)
{
    const auto error = [](Vec<Isa> u, Vec<Isa> v, Vec<Isa> uv) {
        const auto split = [](Vec<Isa> w) -> Pair<Isa> {
            const Vec<Isa> t = Isa::Mul(Isa::Splat(134217729.0), w); // 2^27 + 1
            const Vec<Isa> hi = Isa::Sub(t, Isa::Sub(t, w));
            return {hi, Isa::Sub(w, hi)};
        };
        const Pair<Isa> x = split(u), y = split(v);
        const Vec<Isa> high = Isa::Add(Isa::Sub(Isa::Mul(x.hi, y.hi), uv), Isa::Mul(x.hi, y.lo));
        return Isa::Add(Isa::Add(high, Isa::Mul(x.lo, y.hi)), Isa::Mul(x.lo, y.lo));
    };
    const Vec<Isa> limit = Isa::Splat(0x1p996);
    const typename Isa::Mask aHuge = Isa::Below(limit, Isa::Abs(a)), bHuge = Isa::Below(limit, Isa::Abs(b));
    const typename Isa::Mask huge = Isa::Either(aHuge, bHuge);
    if (Isa::LaneBits(huge) == 0) [[likely]]
        return error(a, b, product);
    const Vec<Isa> down = Isa::Splat(0x1p-28);
    const Vec<Isa> scaled = error(Isa::Select(aHuge, Isa::Mul(a, down), a), Isa::Select(bHuge, Isa::Mul(b, down), b),
                                  Isa::Select(huge, Isa::Mul(product, down), product));
    return Isa::Select(huge, Isa::Mul(scaled, Isa::Splat(0x1p28)), scaled);
}

// y, with the lanes that `slow` marks replaced by exact(x) of that lane: the rare arguments a
// function takes one at a time, by the same scalar code on every instruction set.
template <class Isa, class Exact>
Vec<Isa> PatchLanes(typename Isa::Mask slow, Vec<Isa> x, Vec<Isa> y, Exact exact)
{
    const unsigned lanes = Isa::LaneBits(slow);
    if (lanes == 0) return y;
    // Not on the stack: a stack array may be given more alignment than a sanitizer's relocated
    // frames keep, and the vector loads from it would then fault.
    thread_local double xs[Isa::kWidth], ys[Isa::kWidth];
    Isa::Store(xs, x);
    Isa::Store(ys, y);
    for (std::size_t i = 0; i < Isa::kWidth; ++i)
        if (lanes >> i & 1) ys[i] = exact(xs[i]);
    return Isa::Load(ys);
}

} // namespace maths
