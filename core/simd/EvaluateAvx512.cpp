// f with 8 doubles a vector (AVX-512F); this file is compiled for AVX-512F.
#include "VectorKernels.h"
#include "VectorMaths.h"

#include <cstdint>

namespace {

#if defined(ROOTFINDER_VECTOR_LIBMVEC)
__m512d Exp(__m512d x) { return _ZGVeN8v_exp(x); }
__m512d Sin(__m512d x) { return _ZGVeN8v_sin(x); }
// AVX-512F has its bitwise operations on integers only.
__m512d SignOf(__m512d x) { return _mm512_castsi512_pd(_mm512_and_epi64(_mm512_castpd_si512(x), _mm512_set1_epi64(INT64_MIN))); }
__m512d Magnitude(__m512d x) { return _mm512_castsi512_pd(_mm512_and_epi64(_mm512_castpd_si512(x), _mm512_set1_epi64(INT64_MAX))); }
__m512d WithSign(__m512d magnitude, __m512d sign) { return _mm512_castsi512_pd(_mm512_or_epi64(_mm512_castpd_si512(magnitude), _mm512_castpd_si512(sign))); }
// x^3 by pow with the exponent 3.0. libmvec's pow leaves its vector code for a negative base, so
// the sign is taken off and put back: for an odd integral exponent that is what pow does itself.
__m512d Cube(__m512d x) { return WithSign(_ZGVeN8vv_pow(Magnitude(x), _mm512_set1_pd(3.0)), SignOf(x)); }
#else
__m512d Exp(__m512d x) { return Sleef_expd8_u10avx512f(x); }
__m512d Sin(__m512d x) { return Sleef_sind8_u10avx512f(x); }
__m512d Cube(__m512d x) { return Sleef_powd8_u10avx512f(x, _mm512_set1_pd(3.0)); } // x^3 by pow with the exponent 3.0
#endif

} // namespace

void EvaluateBlockAvx512(const double* xs, double* ys, std::size_t count)
{
    EvaluateInVectors<8>(xs, ys, count, [](const double* in, double* out) {
        const __m512d x = _mm512_loadu_pd(in);
        const __m512d q = _mm512_div_pd(Exp(x), Cube(x));
        const __m512d t = Cube(Sin(x));
        _mm512_storeu_pd(out, _mm512_sub_pd(_mm512_sub_pd(q, t), _mm512_set1_pd(2.0)));
    });
}
