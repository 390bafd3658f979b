#pragma once
// The vector maths behind the kernels, as Exp, Pow and Sin of the vector type of the instruction
// set the including file is compiled for; each kernel's file sees only its own. On x86-64 they
// come from glibc's libmvec where the C library is glibc (its exp, pow and sin are each within 4
// units of the last place, and on this hardware about twice as fast as the alternative), else
// from SLEEF (within 1 unit); on AArch64 from SLEEF. Internal linkage: the files are compiled
// with different instruction sets, and the linker must not take one's copy for another's.

#if defined(ROOTFINDER_VECTOR_AARCH64)
#include <arm_neon.h>
#include <sleef.h>

namespace {
float64x2_t Exp(float64x2_t x) { return Sleef_expd2_u10advsimd(x); }
float64x2_t Pow(float64x2_t x, float64x2_t y) { return Sleef_powd2_u10advsimd(x, y); }
float64x2_t Sin(float64x2_t x) { return Sleef_sind2_u10advsimd(x); }
} // namespace

#elif defined(ROOTFINDER_VECTOR_LIBMVEC)
#include <immintrin.h>

// libmvec's entry points, named by the x86-64 vector function ABI: b = SSE, d = AVX2,
// e = AVX-512; v per vector argument. glibc picks the code for the CPU inside each.
#if defined(__AVX512F__)
extern "C" __m512d _ZGVeN8v_exp(__m512d);
extern "C" __m512d _ZGVeN8vv_pow(__m512d, __m512d);
extern "C" __m512d _ZGVeN8v_sin(__m512d);
namespace {
__m512d Exp(__m512d x) { return _ZGVeN8v_exp(x); }
__m512d Pow(__m512d x, __m512d y) { return _ZGVeN8vv_pow(x, y); }
__m512d Sin(__m512d x) { return _ZGVeN8v_sin(x); }
} // namespace
#elif defined(__AVX2__)
extern "C" __m256d _ZGVdN4v_exp(__m256d);
extern "C" __m256d _ZGVdN4vv_pow(__m256d, __m256d);
extern "C" __m256d _ZGVdN4v_sin(__m256d);
namespace {
__m256d Exp(__m256d x) { return _ZGVdN4v_exp(x); }
__m256d Pow(__m256d x, __m256d y) { return _ZGVdN4vv_pow(x, y); }
__m256d Sin(__m256d x) { return _ZGVdN4v_sin(x); }
} // namespace
#else
extern "C" __m128d _ZGVbN2v_exp(__m128d);
extern "C" __m128d _ZGVbN2vv_pow(__m128d, __m128d);
extern "C" __m128d _ZGVbN2v_sin(__m128d);
namespace {
__m128d Exp(__m128d x) { return _ZGVbN2v_exp(x); }
__m128d Pow(__m128d x, __m128d y) { return _ZGVbN2vv_pow(x, y); }
__m128d Sin(__m128d x) { return _ZGVbN2v_sin(x); }
} // namespace
#endif

#else
#include <immintrin.h>
#include <sleef.h>

namespace {
#if defined(__AVX512F__)
__m512d Exp(__m512d x) { return Sleef_expd8_u10avx512f(x); }
__m512d Pow(__m512d x, __m512d y) { return Sleef_powd8_u10avx512f(x, y); }
__m512d Sin(__m512d x) { return Sleef_sind8_u10avx512f(x); }
#elif defined(__AVX2__)
__m256d Exp(__m256d x) { return Sleef_expd4_u10avx2(x); }
__m256d Pow(__m256d x, __m256d y) { return Sleef_powd4_u10avx2(x, y); }
__m256d Sin(__m256d x) { return Sleef_sind4_u10avx2(x); }
#else
__m128d Exp(__m128d x) { return Sleef_expd2_u10sse2(x); }
__m128d Pow(__m128d x, __m128d y) { return Sleef_powd2_u10sse2(x, y); }
__m128d Sin(__m128d x) { return Sleef_sind2_u10sse2(x); }
#endif
} // namespace
#endif
