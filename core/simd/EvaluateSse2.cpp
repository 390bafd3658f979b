// f with 2 doubles a vector (SSE2, which every x86-64 CPU has).
#include "KernelBody.h"
#include "VectorKernels.h"

#include <immintrin.h>

namespace {

struct Sse2 {
    using Vector = __m128d;
    static constexpr std::size_t kWidth = 2;
    static Vector Load(const double* in) { return _mm_loadu_pd(in); }
    static void Store(double* out, Vector v) { _mm_storeu_pd(out, v); }
    static Vector Splat(double value) { return _mm_set1_pd(value); }
    static Vector Sub(Vector a, Vector b) { return _mm_sub_pd(a, b); }
    static Vector Div(Vector a, Vector b) { return _mm_div_pd(a, b); }
    static Vector Abs(Vector v) { return _mm_andnot_pd(_mm_set1_pd(-0.0), v); }
    static Vector And(Vector a, Vector b) { return _mm_and_pd(a, b); }
    static Vector Or(Vector a, Vector b) { return _mm_or_pd(a, b); }
};

} // namespace

void EvaluateBlockSse2(const double* xs, double* ys, std::size_t count) { EvaluateInVectors<Sse2>(xs, ys, count); }
