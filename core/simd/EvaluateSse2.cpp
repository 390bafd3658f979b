// f with 2 doubles a vector (SSE2, which every x86-64 CPU has).
#include "VectorKernels.h"
#include "VectorMaths.h"

namespace {

#if defined(ROOTFINDER_VECTOR_LIBMVEC)
__m128d Exp(__m128d x) { return _ZGVbN2v_exp(x); }
__m128d Pow(__m128d x, __m128d y) { return _ZGVbN2vv_pow(x, y); }
__m128d Sin(__m128d x) { return _ZGVbN2v_sin(x); }
#else
__m128d Exp(__m128d x) { return Sleef_expd2_u10sse2(x); }
__m128d Pow(__m128d x, __m128d y) { return Sleef_powd2_u10sse2(x, y); }
__m128d Sin(__m128d x) { return Sleef_sind2_u10sse2(x); }
#endif

} // namespace

void EvaluateBlockSse2(const double* xs, double* ys, std::size_t count)
{
    EvaluateInVectors<2>(xs, ys, count, [](const double* in, double* out) {
        const __m128d three = _mm_set1_pd(3.0);
        const __m128d x = _mm_loadu_pd(in);
        const __m128d q = _mm_div_pd(Exp(x), Pow(x, three));
        const __m128d t = Pow(Sin(x), three);
        _mm_storeu_pd(out, _mm_sub_pd(_mm_sub_pd(q, t), _mm_set1_pd(2.0)));
    });
}
