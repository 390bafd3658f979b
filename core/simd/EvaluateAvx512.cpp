// f with 8 doubles a vector (AVX-512F); this file is compiled for AVX-512F.
#include "VectorKernels.h"
#include "VectorMaths.h"

namespace {

#if defined(ROOTFINDER_VECTOR_LIBMVEC)
__m512d Exp(__m512d x) { return _ZGVeN8v_exp(x); }
__m512d Pow(__m512d x, __m512d y) { return _ZGVeN8vv_pow(x, y); }
__m512d Sin(__m512d x) { return _ZGVeN8v_sin(x); }
#else
__m512d Exp(__m512d x) { return Sleef_expd8_u10avx512f(x); }
__m512d Pow(__m512d x, __m512d y) { return Sleef_powd8_u10avx512f(x, y); }
__m512d Sin(__m512d x) { return Sleef_sind8_u10avx512f(x); }
#endif

} // namespace

void EvaluateBlockAvx512(const double* xs, double* ys, std::size_t count)
{
    EvaluateInVectors<8>(xs, ys, count, [](const double* in, double* out) {
        const __m512d three = _mm512_set1_pd(3.0);
        const __m512d x = _mm512_loadu_pd(in);
        const __m512d q = _mm512_div_pd(Exp(x), Pow(x, three));
        const __m512d t = Pow(Sin(x), three);
        _mm512_storeu_pd(out, _mm512_sub_pd(_mm512_sub_pd(q, t), _mm512_set1_pd(2.0)));
    });
}
