// f with 2 doubles a vector (SSE2, which every x86-64 CPU has).
#include "VectorKernels.h"

#include <emmintrin.h>
#include <sleef.h>

void EvaluateBlockSse2(const double* xs, double* ys, std::size_t count)
{
    EvaluateInVectors<2>(xs, ys, count, [](const double* in, double* out) {
        const __m128d three = _mm_set1_pd(3.0);
        const __m128d x = _mm_loadu_pd(in);
        const __m128d q = _mm_div_pd(Sleef_expd2_u10sse2(x), Sleef_powd2_u10sse2(x, three));
        const __m128d t = Sleef_powd2_u10sse2(Sleef_sind2_u10sse2(x), three);
        _mm_storeu_pd(out, _mm_sub_pd(_mm_sub_pd(q, t), _mm_set1_pd(2.0)));
    });
}
