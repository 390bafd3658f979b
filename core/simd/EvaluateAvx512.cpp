// f with 8 doubles a vector (AVX-512F); this file is compiled for AVX-512F.
#include "VectorKernels.h"

#include <immintrin.h>
#include <sleef.h>

void EvaluateBlockAvx512(const double* xs, double* ys, std::size_t count)
{
    EvaluateInVectors<8>(xs, ys, count, [](const double* in, double* out) {
        const __m512d three = _mm512_set1_pd(3.0);
        const __m512d x = _mm512_loadu_pd(in);
        const __m512d q = _mm512_div_pd(Sleef_expd8_u10avx512f(x), Sleef_powd8_u10avx512f(x, three));
        const __m512d t = Sleef_powd8_u10avx512f(Sleef_sind8_u10avx512f(x), three);
        _mm512_storeu_pd(out, _mm512_sub_pd(_mm512_sub_pd(q, t), _mm512_set1_pd(2.0)));
    });
}
