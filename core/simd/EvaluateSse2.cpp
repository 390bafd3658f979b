// f with 2 doubles a vector (SSE2, which every x86-64 CPU has).
#include "VectorKernels.h"
#include "VectorMaths.h"

namespace {

#if defined(ROOTFINDER_VECTOR_LIBMVEC)
__m128d Exp(__m128d x) { return _ZGVbN2v_exp(x); }
__m128d Sin(__m128d x) { return _ZGVbN2v_sin(x); }
__m128d SignOf(__m128d x) { return _mm_and_pd(x, _mm_set1_pd(-0.0)); }
__m128d Magnitude(__m128d x) { return _mm_andnot_pd(_mm_set1_pd(-0.0), x); }
__m128d WithSign(__m128d magnitude, __m128d sign) { return _mm_or_pd(magnitude, sign); }
// x^3 by pow with the exponent 3.0. libmvec's pow leaves its vector code for a negative base, so
// the sign is taken off and put back: for an odd integral exponent that is what pow does itself.
__m128d Cube(__m128d x) { return WithSign(_ZGVbN2vv_pow(Magnitude(x), _mm_set1_pd(3.0)), SignOf(x)); }
#else
__m128d Exp(__m128d x) { return Sleef_expd2_u10sse2(x); }
__m128d Sin(__m128d x) { return Sleef_sind2_u10sse2(x); }
__m128d Cube(__m128d x) { return Sleef_powd2_u10sse2(x, _mm_set1_pd(3.0)); } // x^3 by pow with the exponent 3.0
#endif

} // namespace

void EvaluateBlockSse2(const double* xs, double* ys, std::size_t count)
{
    EvaluateInVectors<2>(xs, ys, count, [](const double* in, double* out) {
        const __m128d x = _mm_loadu_pd(in);
        const __m128d q = _mm_div_pd(Exp(x), Cube(x));
        const __m128d t = Cube(Sin(x));
        _mm_storeu_pd(out, _mm_sub_pd(_mm_sub_pd(q, t), _mm_set1_pd(2.0)));
    });
}
