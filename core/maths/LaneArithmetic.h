#pragma once
// The building blocks of the elementary functions, over the lanes of an instruction set `Isa`
// (one double for the scalar path, a vector for the others; see core/simd/). Everything is an
// operation on doubles rounded to nearest, so every instruction set gives every lane the same
// bits. The functions are templates on `Isa`, whose types have internal linkage, so no two files
// compiled for different instruction sets ever share a copy.
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

// a * b = hi + lo exactly, hi = fl(a * b), while the product and its error stay in range.
template <class Isa>
Pair<Isa> TwoProduct(Vec<Isa> a, Vec<Isa> b)
{
    const Vec<Isa> product = Isa::Mul(a, b);
    return {product, Isa::ProductError(a, b, product)};
}

// a + b = hi + lo exactly, hi = fl(a + b) (Knuth).
template <class Isa>
Pair<Isa> TwoSum(Vec<Isa> a, Vec<Isa> b)
{
    const Vec<Isa> sum = Isa::Add(a, b);
    const Vec<Isa> bPart = Isa::Sub(sum, a);
    const Vec<Isa> aPart = Isa::Sub(sum, bPart);
    return {sum, Isa::Add(Isa::Sub(a, aPart), Isa::Sub(b, bPart))};
}

// As TwoSum, for |a| >= |b| (Dekker).
template <class Isa>
Pair<Isa> FastTwoSum(Vec<Isa> a, Vec<Isa> b)
{
    const Vec<Isa> sum = Isa::Add(a, b);
    return {sum, Isa::Sub(b, Isa::Sub(sum, a))};
}

// c[0] + c[1] z + ... + c[N-1] z^(N-1), by Horner's rule.
template <class Isa, std::size_t N>
Vec<Isa> Polynomial(Vec<Isa> z, const double (&c)[N])
{
    Vec<Isa> value = Isa::Splat(c[N - 1]);
    for (std::size_t i = N - 1; i-- > 0;) value = Isa::Add(Isa::Mul(value, z), Isa::Splat(c[i]));
    return value;
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
