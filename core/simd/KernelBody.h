#pragma once
// The one body of the vector kernels: f over a block, with the vectors of an instruction set
// described by `Isa`. Each instruction set's file instantiates it and is compiled for that
// instruction set, so everything here has internal linkage: the linker must not take one file's
// copy of an inline function for another's.
//
// `Isa` gives the vector type `Vector`, its width `kWidth` in doubles, Load, Store, Splat (every
// lane one value), Sub and Div; and, for libmvec's cube (x86 only), Abs and the bitwise And and Or.
#include "VectorMaths.h"

#include <cstddef>

namespace {

#if defined(ROOTFINDER_VECTOR_LIBMVEC)
// x^3 by pow with the exponent 3.0. libmvec's pow leaves its vector code for a negative base, so
// the sign is taken off and put back: for an odd integral exponent that is what pow does itself.
template <class Isa>
typename Isa::Vector Cube(typename Isa::Vector x)
{
    return Isa::Or(Pow(Isa::Abs(x), Isa::Splat(3.0)), Isa::And(x, Isa::Splat(-0.0)));
}
#else
// x^3 by pow with the exponent 3.0.
template <class Isa>
typename Isa::Vector Cube(typename Isa::Vector x)
{
    return Pow(x, Isa::Splat(3.0));
}
#endif

// One vector of f(x) = e^x / x^3 - sin(x)^3 - 2.
template <class Isa>
void EvaluateVector(const double* in, double* out)
{
    const typename Isa::Vector x = Isa::Load(in);
    const typename Isa::Vector q = Isa::Div(Exp(x), Cube<Isa>(x));
    const typename Isa::Vector t = Cube<Isa>(Sin(x));
    Isa::Store(out, Isa::Sub(Isa::Sub(q, t), Isa::Splat(2.0)));
}

// ys[i] = f(xs[i]) for i < count: whole vectors, then the tail padded out to one more vector, so
// that every value goes through the same vector functions.
template <class Isa>
void EvaluateInVectors(const double* xs, double* ys, std::size_t count)
{
    constexpr std::size_t width = Isa::kWidth;
    std::size_t i = 0;
    for (; i + width <= count; i += width) EvaluateVector<Isa>(xs + i, ys + i);
    if (i == count) return;
    // Not on the stack: a stack array may be given more alignment than a sanitizer's relocated
    // frames keep, and the vector loads from it would then fault.
    thread_local double in[width], out[width];
    for (std::size_t k = 0; k < width; ++k) in[k] = i + k < count ? xs[i + k] : 1.0;
    EvaluateVector<Isa>(in, out);
    for (std::size_t k = 0; i + k < count; ++k) ys[i + k] = out[k];
}

} // namespace
