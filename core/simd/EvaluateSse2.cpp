// f with 2 doubles a vector (SSE2).
#include "core/simd/KernelBody.h"
#include "core/simd/Sse2Lanes.h"
#include "core/simd/VectorKernels.h"

void EvaluateBlockSse2(const double* xs, double* ys, std::size_t count) { EvaluateF<Sse2>(xs, ys, count); }

void EvaluateElementarySse2(ElementaryFunction function, const double* xs, double* ys, std::size_t count)
{
    EvaluateElementaryFunction<Sse2>(function, xs, ys, count);
}
