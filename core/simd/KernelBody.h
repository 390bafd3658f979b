#pragma once
// The one body of the vector kernels: f, or one of its elementary functions, over a block, with
// the vectors of an instruction set described by `Isa` (the operations core/maths/ScalarLanes.h
// lists for one double). Each instruction set's file instantiates it and is compiled for that
// instruction set; `Isa` has internal linkage there, so no file's copy of a body is taken for
// another's.
#include "core/EvaluateBlock.h"
#include "core/maths/Cube.h"
#include "core/maths/Exp.h"
#include "core/maths/F.h"
#include "core/maths/Sin.h"
#include "os/Compiler.h"

#include <cstddef>

namespace {

// ys[i] = function(xs[i]) for i < count: whole vectors, then the tail padded out to one more
// vector, so that every value goes through the same vector code.
template <class Isa, class Function>
void EvaluateInVectors(const double* xs, double* ys, std::size_t count, Function function)
{
    constexpr std::size_t width = Isa::kWidth;
    std::size_t i = 0;
    for (; i + width <= count; i += width) Isa::Store(ys + i, function(Isa::Load(xs + i)));
    if (i == count) return;
    // Not on the stack: a stack array may be given more alignment than a sanitizer's relocated
    // frames keep, and the vector loads from it would then fault.
    thread_local double in[width], out[width];
    for (std::size_t k = 0; k < width; ++k) in[k] = i + k < count ? xs[i + k] : 1.0;
    Isa::Store(out, function(Isa::Load(in)));
    for (std::size_t k = 0; i + k < count; ++k) ys[i + k] = out[k];
}

template <class Isa>
ROOTFINDER_FLATTEN void EvaluateF(const double* xs, double* ys, std::size_t count)
{
    EvaluateInVectors<Isa>(xs, ys, count, [](typename Isa::Vector x) { return maths::F<Isa>(x); });
}

template <class Isa>
void EvaluateElementaryFunction(ElementaryFunction function, const double* xs, double* ys, std::size_t count)
{
    switch (function) {
    case ElementaryFunction::Exp: return EvaluateInVectors<Isa>(xs, ys, count, maths::Exp<Isa>);
    case ElementaryFunction::Sin: return EvaluateInVectors<Isa>(xs, ys, count, maths::Sin<Isa>);
    case ElementaryFunction::Cube: return EvaluateInVectors<Isa>(xs, ys, count, maths::CubePower<Isa>);
    }
}

} // namespace
