// f with 4 doubles a vector (AVX2 with FMA); this file is compiled for AVX2 and FMA.
#include "VectorKernels.h"
#include "VectorMaths.h"

namespace {

#if defined(ROOTFINDER_VECTOR_LIBMVEC)
__m256d Exp(__m256d x) { return _ZGVdN4v_exp(x); }
__m256d Sin(__m256d x) { return _ZGVdN4v_sin(x); }
__m256d SignOf(__m256d x) { return _mm256_and_pd(x, _mm256_set1_pd(-0.0)); }
__m256d Magnitude(__m256d x) { return _mm256_andnot_pd(_mm256_set1_pd(-0.0), x); }
__m256d WithSign(__m256d magnitude, __m256d sign) { return _mm256_or_pd(magnitude, sign); }
// x^3 by pow with the exponent 3.0. libmvec's pow leaves its vector code for a negative base, so
// the sign is taken off and put back: for an odd integral exponent that is what pow does itself.
__m256d Cube(__m256d x) { return WithSign(_ZGVdN4vv_pow(Magnitude(x), _mm256_set1_pd(3.0)), SignOf(x)); }
#else
__m256d Exp(__m256d x) { return Sleef_expd4_u10avx2(x); }
__m256d Sin(__m256d x) { return Sleef_sind4_u10avx2(x); }
__m256d Cube(__m256d x) { return Sleef_powd4_u10avx2(x, _mm256_set1_pd(3.0)); } // x^3 by pow with the exponent 3.0
#endif

} // namespace

void EvaluateBlockAvx2(const double* xs, double* ys, std::size_t count)
{
    EvaluateInVectors<4>(xs, ys, count, [](const double* in, double* out) {
        const __m256d x = _mm256_loadu_pd(in);
        const __m256d q = _mm256_div_pd(Exp(x), Cube(x));
        const __m256d t = Cube(Sin(x));
        _mm256_storeu_pd(out, _mm256_sub_pd(_mm256_sub_pd(q, t), _mm256_set1_pd(2.0)));
    });
}
