// f with 4 doubles a vector (AVX2 with FMA); this file is compiled for AVX2 and FMA.
#include "VectorKernels.h"
#include "VectorMaths.h"

namespace {

#if defined(ROOTFINDER_VECTOR_LIBMVEC)
__m256d Exp(__m256d x) { return _ZGVdN4v_exp(x); }
__m256d Pow(__m256d x, __m256d y) { return _ZGVdN4vv_pow(x, y); }
__m256d Sin(__m256d x) { return _ZGVdN4v_sin(x); }
#else
__m256d Exp(__m256d x) { return Sleef_expd4_u10avx2(x); }
__m256d Pow(__m256d x, __m256d y) { return Sleef_powd4_u10avx2(x, y); }
__m256d Sin(__m256d x) { return Sleef_sind4_u10avx2(x); }
#endif

} // namespace

void EvaluateBlockAvx2(const double* xs, double* ys, std::size_t count)
{
    EvaluateInVectors<4>(xs, ys, count, [](const double* in, double* out) {
        const __m256d three = _mm256_set1_pd(3.0);
        const __m256d x = _mm256_loadu_pd(in);
        const __m256d q = _mm256_div_pd(Exp(x), Pow(x, three));
        const __m256d t = Pow(Sin(x), three);
        _mm256_storeu_pd(out, _mm256_sub_pd(_mm256_sub_pd(q, t), _mm256_set1_pd(2.0)));
    });
}
