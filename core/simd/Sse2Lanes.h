#pragma once
// 2 doubles a vector as the lanes of the elementary functions (SSE2, which every x86-64 CPU has,
// so the baseline compiles it). SSE2 has no fused multiply-add, so the products' errors come from
// Dekker's algorithm, as on the scalar path.
#include "core/maths/LaneArithmetic.h"

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

namespace {

struct Sse2 {
    using Vector = __m128d;
    using Bits = __m128i;
    using Mask = __m128d;
    static constexpr std::size_t kWidth = 2;

    static Vector Load(const double* in) { return _mm_loadu_pd(in); }
    static void Store(double* out, Vector v) { _mm_storeu_pd(out, v); }
    static Vector Splat(double value) { return _mm_set1_pd(value); }
    static Vector Add(Vector a, Vector b) { return _mm_add_pd(a, b); }
    static Vector Sub(Vector a, Vector b) { return _mm_sub_pd(a, b); }
    static Vector Mul(Vector a, Vector b) { return _mm_mul_pd(a, b); }
    static Vector Div(Vector a, Vector b) { return _mm_div_pd(a, b); }
    static Vector Abs(Vector v) { return _mm_andnot_pd(_mm_set1_pd(-0.0), v); }
    static Vector ProductError(Vector a, Vector b, Vector product)
    {
        return maths::DekkerProductError<Sse2>(a, b, product);
    }

    static Mask Beyond(Vector v, Vector limit) { return _mm_cmpnle_pd(v, limit); }
    static Mask Below(Vector v, Vector limit) { return _mm_cmplt_pd(v, limit); }
    static Mask Differ(Vector a, Vector b) { return _mm_cmpneq_pd(a, b); }
    static Mask Either(Mask a, Mask b) { return _mm_or_pd(a, b); }
    static unsigned LaneBits(Mask m) { return static_cast<unsigned>(_mm_movemask_pd(m)); }
    static Vector Select(Mask m, Vector yes, Vector no) { return _mm_or_pd(_mm_and_pd(m, yes), _mm_andnot_pd(m, no)); }

    static Bits AsBits(Vector v) { return _mm_castpd_si128(v); }
    static Vector AsDoubles(Bits b) { return _mm_castsi128_pd(b); }
    static Bits SplatBits(std::uint64_t value) { return _mm_set1_epi64x(static_cast<long long>(value)); }
    static Bits AddBits(Bits a, Bits b) { return _mm_add_epi64(a, b); }
    static Bits AndBits(Bits a, Bits b) { return _mm_and_si128(a, b); }
    static Bits XorBits(Bits a, Bits b) { return _mm_xor_si128(a, b); }
    template <int N>
    static Bits ShiftLeft(Bits b)
    {
        return _mm_slli_epi64(b, N);
    }
    static Mask OddLanes(Bits b)
    {
        return _mm_castsi128_pd(_mm_sub_epi64(_mm_setzero_si128(), AndBits(b, SplatBits(1))));
    }
    static void GatherPairs(const std::uint64_t* table, Bits index, Vector& first, Vector& second)
    {
        const auto pair = [&](Bits i) {
            return _mm_loadu_pd(reinterpret_cast<const double*>(table + 2 * _mm_cvtsi128_si64(i)));
        };
        const Vector lane0 = pair(index), lane1 = pair(_mm_unpackhi_epi64(index, index));
        first = _mm_unpacklo_pd(lane0, lane1);
        second = _mm_unpackhi_pd(lane0, lane1);
    }
};

} // namespace
