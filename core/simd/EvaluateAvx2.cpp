// f with 4 doubles a vector (AVX2 with FMA); this file is compiled for AVX2 and FMA.
#include "VectorKernels.h"

#include <immintrin.h>
#include <sleef.h>

void EvaluateBlockAvx2(const double* xs, double* ys, std::size_t count)
{
    EvaluateInVectors<4>(xs, ys, count, [](const double* in, double* out) {
        const __m256d three = _mm256_set1_pd(3.0);
        const __m256d x = _mm256_loadu_pd(in);
        const __m256d q = _mm256_div_pd(Sleef_expd4_u10avx2(x), Sleef_powd4_u10avx2(x, three));
        const __m256d t = Sleef_powd4_u10avx2(Sleef_sind4_u10avx2(x), three);
        _mm256_storeu_pd(out, _mm256_sub_pd(_mm256_sub_pd(q, t), _mm256_set1_pd(2.0)));
    });
}
