// f with 4 doubles a vector (AVX2 with FMA); this file is compiled for AVX2 and FMA.
#include "KernelBody.h"
#include "VectorKernels.h"

#include <immintrin.h>

namespace {

struct Avx2 {
    using Vector = __m256d;
    static constexpr std::size_t kWidth = 4;
    static Vector Load(const double* in) { return _mm256_loadu_pd(in); }
    static void Store(double* out, Vector v) { _mm256_storeu_pd(out, v); }
    static Vector Splat(double value) { return _mm256_set1_pd(value); }
    static Vector Sub(Vector a, Vector b) { return _mm256_sub_pd(a, b); }
    static Vector Div(Vector a, Vector b) { return _mm256_div_pd(a, b); }
    static Vector Abs(Vector v) { return _mm256_andnot_pd(_mm256_set1_pd(-0.0), v); }
    static Vector And(Vector a, Vector b) { return _mm256_and_pd(a, b); }
    static Vector Or(Vector a, Vector b) { return _mm256_or_pd(a, b); }
};

} // namespace

void EvaluateBlockAvx2(const double* xs, double* ys, std::size_t count) { EvaluateInVectors<Avx2>(xs, ys, count); }
