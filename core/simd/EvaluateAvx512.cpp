// f with 8 doubles a vector (AVX-512F); this file is compiled for AVX-512F.
#include "KernelBody.h"
#include "VectorKernels.h"

#include <immintrin.h>

namespace {

// AVX-512F has its bitwise operations on integers only.
__m512i Bits(__m512d v) { return _mm512_castpd_si512(v); }
__m512d Doubles(__m512i v) { return _mm512_castsi512_pd(v); }

struct Avx512 {
    using Vector = __m512d;
    static constexpr std::size_t kWidth = 8;
    static Vector Load(const double* in) { return _mm512_loadu_pd(in); }
    static void Store(double* out, Vector v) { _mm512_storeu_pd(out, v); }
    static Vector Splat(double value) { return _mm512_set1_pd(value); }
    static Vector Sub(Vector a, Vector b) { return _mm512_sub_pd(a, b); }
    static Vector Div(Vector a, Vector b) { return _mm512_div_pd(a, b); }
    static Vector Abs(Vector v) { return _mm512_abs_pd(v); }
    static Vector And(Vector a, Vector b) { return Doubles(_mm512_and_epi64(Bits(a), Bits(b))); }
    static Vector Or(Vector a, Vector b) { return Doubles(_mm512_or_epi64(Bits(a), Bits(b))); }
};

} // namespace

void EvaluateBlockAvx512(const double* xs, double* ys, std::size_t count) { EvaluateInVectors<Avx512>(xs, ys, count); }
