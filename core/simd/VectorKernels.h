#pragma once
// The vector implementations of EvaluateBlock and EvaluateElementary, a pair per instruction set,
// each in a file of its own compiled for that instruction set around the one body in KernelBody.h.
// Declared for every target; defined, and named by EvaluateBlock.cpp, only where the build compiles them.
#include "core/EvaluateBlock.h"

#include <cstddef>

void EvaluateBlockSse2(const double* xs, double* ys, std::size_t count);
void EvaluateBlockAvx2(const double* xs, double* ys, std::size_t count);
void EvaluateBlockAvx512(const double* xs, double* ys, std::size_t count);
void EvaluateBlockAdvSimd(const double* xs, double* ys, std::size_t count);

void EvaluateElementarySse2(ElementaryFunction function, const double* xs, double* ys, std::size_t count);
void EvaluateElementaryAvx2(ElementaryFunction function, const double* xs, double* ys, std::size_t count);
void EvaluateElementaryAvx512(ElementaryFunction function, const double* xs, double* ys, std::size_t count);
void EvaluateElementaryAdvSimd(ElementaryFunction function, const double* xs, double* ys, std::size_t count);
