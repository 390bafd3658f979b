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
#include "os/Compiler.h"

#include <cstddef>
#include <limits>

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

// a * b = hi + lo exactly, hi = fl(a * b), for factors with which no step of Dekker's algorithm
// overflows: |a|, |b| <= 2^996 and |a b| <= 2^1023, unless the error lies below the smallest
// subnormal. The elementary functions' bodies meet it in every lane that they do not hand to scalar
// code. The error is the instruction set's: a fused multiply-add where it has one, else
// DekkerProductError.
template <class Isa>
Pair<Isa> TwoProduct(Vec<Isa> a, Vec<Isa> b)
{
    const Vec<Isa> product = Isa::Mul(a, b);
    return {product, Isa::ProductError(a, b, product)};
}

// TwoProductAnyRange's rare redo, out of line so that a caller's fast path stays small enough to
// be inlined whole.
template <class Isa>
ROOTFINDER_NOINLINE Pair<Isa> TwoProductRescaled(Vec<Isa> a, Vec<Isa> b, Pair<Isa> plain, Vec<Isa> zeroOrNan)
{
    // The lanes to redo: a NaN here is a finite product's.
    const Vec<Isa> infinity = Isa::Splat(std::numeric_limits<double>::infinity());
    const typename Isa::Mask finite = Isa::Below(Isa::Abs(plain.hi), infinity);
    const Vec<Isa> flagged = Isa::Select(finite, zeroOrNan, Isa::Splat(0.0));
    const typename Isa::Mask redo = Isa::Differ(flagged, flagged);
    const typename Isa::Mask swap = Isa::Below(Isa::Abs(a), Isa::Abs(b));
    const Vec<Isa> down = Isa::Splat(0x1p-28);
    const Vec<Isa> larger = Isa::Mul(Isa::Select(swap, b, a), down), product = Isa::Mul(plain.hi, down);
    const Vec<Isa> scaled = Isa::ProductError(larger, Isa::Select(swap, a, b), product);
    return {plain.hi, Isa::Select(redo, Isa::Mul(scaled, Isa::Splat(0x1p28)), plain.lo)};
}

// As TwoProduct, for any factors: exact unless the product overflows (lo is then 0 on the scalar
// lanes and unspecified on the others) or its rounding error lies below the smallest subnormal.
// Beyond TwoProduct's range Dekker's algorithm overflows a step for a finite product (the
// splitting constant times a factor above about 2^996, or the high halves' product where the
// product is within a relative 2^-25 of the largest double), and the error comes out infinite or
// NaN. That is tested once, after the fact; only then are the larger factor, the product and so
// the error scaled down by 2^28, exactly, in the lanes of a finite product.
template <class Isa>
Pair<Isa> TwoProductAnyRange(Vec<Isa> a, Vec<Isa> b)
{
    const Pair<Isa> plain = TwoProduct<Isa>(a, b);
    const Vec<Isa> zeroOrNan = Isa::Sub(plain.lo, plain.lo); // NaN for an infinite or NaN error
    if (Isa::LaneBits(Isa::Differ(zeroOrNan, zeroOrNan)) == 0) [[likely]]
        return plain;
    return TwoProductRescaled<Isa>(a, b, plain, zeroOrNan);
}

// The rounding error a * b - product of product = fl(a * b) by Dekker's algorithm, for the
// instruction sets that have no fused multiply-add, under TwoProduct's terms: each factor split
// into two halves of at most 26 significant bits (Veltkamp), whose products are exact.
template <class Isa>
Vec<Isa> DekkerProductError(Vec<Isa> a, Vec<Isa> b, Vec<Isa> product)
{
    const auto split = [](Vec<Isa> v) -> Pair<Isa> {
        const Vec<Isa> t = Isa::Mul(Isa::Splat(134217729.0), v); // 2^27 + 1
        const Vec<Isa> hi = Isa::Sub(t, Isa::Sub(t, v));
        return {hi, Isa::Sub(v, hi)};
    };
    const Pair<Isa> x = split(a), y = split(b);
    const Vec<Isa> high = Isa::Add(Isa::Sub(Isa::Mul(x.hi, y.hi), product), Isa::Mul(x.hi, y.lo));
    return Isa::Add(Isa::Add(high, Isa::Mul(x.lo, y.hi)), Isa::Mul(x.lo, y.lo));
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
