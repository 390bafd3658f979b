// f with 8 doubles a vector (AVX-512F); this file is compiled for AVX-512F. A product's error by a
// fused multiply-add is exact, so it equals Dekker's on the other paths.
#include "core/simd/KernelBody.h"
#include "core/simd/VectorKernels.h"

#include <immintrin.h>

#include <cstdint>

namespace {

struct Avx512 {
    using Vector = __m512d;
    using Bits = __m512i;
    using Mask = __mmask8;
    static constexpr std::size_t kWidth = 8;

    static Vector Load(const double* in) { return _mm512_loadu_pd(in); }
    static void Store(double* out, Vector v) { _mm512_storeu_pd(out, v); }
    static Vector Splat(double value) { return _mm512_set1_pd(value); }
    static Vector Add(Vector a, Vector b) { return _mm512_add_pd(a, b); }
    static Vector Sub(Vector a, Vector b) { return _mm512_sub_pd(a, b); }
    static Vector Mul(Vector a, Vector b) { return _mm512_mul_pd(a, b); }
    static Vector Div(Vector a, Vector b) { return _mm512_div_pd(a, b); }
    static Vector Abs(Vector v) { return _mm512_abs_pd(v); }
    static Vector ProductError(Vector a, Vector b, Vector product) { return _mm512_fmsub_pd(a, b, product); }

    static Mask Beyond(Vector v, Vector limit) { return _mm512_cmp_pd_mask(v, limit, _CMP_NLE_UQ); }
    static Mask Below(Vector v, Vector limit) { return _mm512_cmp_pd_mask(v, limit, _CMP_LT_OQ); }
    static Mask Differ(Vector a, Vector b) { return _mm512_cmp_pd_mask(a, b, _CMP_NEQ_UQ); }
    static Mask Either(Mask a, Mask b) { return static_cast<Mask>(a | b); }
    static unsigned LaneBits(Mask m) { return m; }
    static Vector Select(Mask m, Vector yes, Vector no) { return _mm512_mask_blend_pd(m, no, yes); }

    static Bits AsBits(Vector v) { return _mm512_castpd_si512(v); }
    static Vector AsDoubles(Bits b) { return _mm512_castsi512_pd(b); }
    static Bits SplatBits(std::uint64_t value) { return _mm512_set1_epi64(static_cast<long long>(value)); }
    static Bits AddBits(Bits a, Bits b) { return _mm512_add_epi64(a, b); }
    static Bits AndBits(Bits a, Bits b) { return _mm512_and_si512(a, b); }
    static Bits XorBits(Bits a, Bits b) { return _mm512_xor_si512(a, b); }
    // The shift and the insertion in their masked forms, every lane enabled: GCC 12 warns of the
    // unmasked forms' undefined inputs.
    template <int N>
    static Bits ShiftLeft(Bits b)
    {
        return _mm512_maskz_slli_epi64(0xff, b, N);
    }
    static Mask OddLanes(Bits b) { return _mm512_test_epi64_mask(b, SplatBits(1)); }
    // Eight 16-byte loads, each lane's pair, then transposed: cheaper than two gathers.
    static void GatherPairs(const std::uint64_t* table, Bits index, Vector& first, Vector& second)
    {
        std::uint64_t lanes[8];
        _mm512_storeu_si512(lanes, index);
        const auto pairs = [&](int i) { // lanes i and i + 1: first0 second0 first1 second1
            return _mm256_set_m128d(_mm_loadu_pd(reinterpret_cast<const double*>(table + 2 * lanes[i + 1])),
                                    _mm_loadu_pd(reinterpret_cast<const double*>(table + 2 * lanes[i])));
        };
        const auto join = [](__m256d lower, __m256d upper) {
            const Vector zero = _mm512_setzero_pd();
            const Vector wide = _mm512_mask_insertf64x4(zero, 0xff, zero, lower, 0);
            return _mm512_mask_insertf64x4(wide, 0xff, wide, upper, 1);
        };
        const Vector low = join(pairs(0), pairs(2));  // lanes 0 1 2 3
        const Vector high = join(pairs(4), pairs(6)); // lanes 4 5 6 7
        const Bits firsts = _mm512_set_epi64(14, 12, 10, 8, 6, 4, 2, 0);
        first = _mm512_permutex2var_pd(low, firsts, high);
        second = _mm512_permutex2var_pd(low, _mm512_add_epi64(firsts, SplatBits(1)), high);
    }
};

} // namespace

void EvaluateBlockAvx512(const double* xs, double* ys, std::size_t count) { EvaluateF<Avx512>(xs, ys, count); }

void EvaluateElementaryAvx512(ElementaryFunction function, const double* xs, double* ys, std::size_t count)
{
    EvaluateElementaryFunction<Avx512>(function, xs, ys, count);
}
