#pragma once
// The vector implementations of EvaluateBlock, one per instruction set, each in a file of its
// own compiled for that instruction set. Declared only where the build has them.
#include <cstddef>

void EvaluateBlockSse2(const double* xs, double* ys, std::size_t count);
void EvaluateBlockAvx2(const double* xs, double* ys, std::size_t count);
void EvaluateBlockAvx512(const double* xs, double* ys, std::size_t count);
void EvaluateBlockAdvSimd(const double* xs, double* ys, std::size_t count);

// The loop every kernel shares: whole vectors, then the tail padded out to one more vector, so
// that every value goes through the same vector functions. `Width` doubles a vector.
template <std::size_t Width, class Kernel>
void EvaluateInVectors(const double* xs, double* ys, std::size_t count, Kernel&& kernel)
{
    std::size_t i = 0;
    for (; i + Width <= count; i += Width) kernel(xs + i, ys + i);
    if (i == count) return;
    double in[Width], out[Width];
    for (std::size_t k = 0; k < Width; ++k) in[k] = i + k < count ? xs[i + k] : 1.0;
    kernel(in, out);
    for (std::size_t k = 0; i + k < count; ++k) ys[i + k] = out[k];
}
