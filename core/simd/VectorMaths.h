#pragma once
// The vector maths library behind the x86 kernels: glibc's libmvec where the C library is glibc
// (its exp, pow and sin are each within 4 units of the last place, and on this hardware about
// twice as fast as the alternative), SLEEF elsewhere (within 1 unit). Both are declared here
// with their vector types.
#include <immintrin.h>

#if defined(ROOTFINDER_VECTOR_LIBMVEC)
// libmvec's entry points, named by the x86-64 vector function ABI: b = SSE, d = AVX2,
// e = AVX-512; v per vector argument. glibc picks the code for the CPU inside each.
// Each kernel's file is compiled for its instruction set and sees only its own.
extern "C" {
#if defined(__AVX512F__)
__m512d _ZGVeN8v_exp(__m512d);
__m512d _ZGVeN8vv_pow(__m512d, __m512d);
__m512d _ZGVeN8v_sin(__m512d);
#elif defined(__AVX2__)
__m256d _ZGVdN4v_exp(__m256d);
__m256d _ZGVdN4vv_pow(__m256d, __m256d);
__m256d _ZGVdN4v_sin(__m256d);
#else
__m128d _ZGVbN2v_exp(__m128d);
__m128d _ZGVbN2vv_pow(__m128d, __m128d);
__m128d _ZGVbN2v_sin(__m128d);
#endif
}
#else
#include <sleef.h>
#endif
