// f with 4 doubles a vector (AVX2 with FMA); this file is compiled for AVX2 and FMA. A product's
// error by a fused multiply-add is exact, so it equals Dekker's on the other paths.
#include "core/simd/KernelBody.h"
#include "core/simd/VectorKernels.h"

#include <immintrin.h>

#include <cstdint>

namespace {

struct Avx2 {
    using Vector = __m256d;
    using Bits = __m256i;
    using Mask = __m256d;
    static constexpr std::size_t kWidth = 4;

    static Vector Load(const double* in) { return _mm256_loadu_pd(in); }
    static void Store(double* out, Vector v) { _mm256_storeu_pd(out, v); }
    static Vector Splat(double value) { return _mm256_set1_pd(value); }
    static Vector Add(Vector a, Vector b) { return _mm256_add_pd(a, b); }
    static Vector Sub(Vector a, Vector b) { return _mm256_sub_pd(a, b); }
    static Vector Mul(Vector a, Vector b) { return _mm256_mul_pd(a, b); }
    static Vector Div(Vector a, Vector b) { return _mm256_div_pd(a, b); }
    static Vector Abs(Vector v) { return _mm256_andnot_pd(_mm256_set1_pd(-0.0), v); }
    static Vector ProductError(Vector a, Vector b, Vector product) { return _mm256_fmsub_pd(a, b, product); }

    static Mask Beyond(Vector v, Vector limit) { return _mm256_cmp_pd(v, limit, _CMP_NLE_UQ); }
    static Mask Below(Vector v, Vector limit) { return _mm256_cmp_pd(v, limit, _CMP_LT_OQ); }
    static Mask Differ(Vector a, Vector b) { return _mm256_cmp_pd(a, b, _CMP_NEQ_UQ); }
    static Mask Either(Mask a, Mask b) { return _mm256_or_pd(a, b); }
    static unsigned LaneBits(Mask m) { return static_cast<unsigned>(_mm256_movemask_pd(m)); }
    static Vector Select(Mask m, Vector yes, Vector no) { return _mm256_blendv_pd(no, yes, m); }

    static Bits AsBits(Vector v) { return _mm256_castpd_si256(v); }
    static Vector AsDoubles(Bits b) { return _mm256_castsi256_pd(b); }
    static Bits SplatBits(std::uint64_t value) { return _mm256_set1_epi64x(static_cast<long long>(value)); }
    static Bits AddBits(Bits a, Bits b) { return _mm256_add_epi64(a, b); }
    static Bits AndBits(Bits a, Bits b) { return _mm256_and_si256(a, b); }
    static Bits XorBits(Bits a, Bits b) { return _mm256_xor_si256(a, b); }
    template <int N>
    static Bits ShiftLeft(Bits b)
    {
        return _mm256_slli_epi64(b, N);
    }
    static Mask OddLanes(Bits b) { return AsDoubles(_mm256_cmpeq_epi64(AndBits(b, SplatBits(1)), SplatBits(1))); }
    // Four 16-byte loads, each lane's pair, then transposed: cheaper than two gathers.
    static void GatherPairs(const std::uint64_t* table, Bits index, Vector& first, Vector& second)
    {
        const auto pair = [&](long long i) { return _mm_loadu_pd(reinterpret_cast<const double*>(table + 2 * i)); };
        const __m128i low = _mm256_castsi256_si128(index), high = _mm256_extracti128_si256(index, 1);
        const Vector lanes01 = _mm256_set_m128d(pair(_mm_extract_epi64(low, 1)), pair(_mm_cvtsi128_si64(low)));
        const Vector lanes23 = _mm256_set_m128d(pair(_mm_extract_epi64(high, 1)), pair(_mm_cvtsi128_si64(high)));
        // unpack gives lanes 0, 2, 1, 3 in order
        first = _mm256_permute4x64_pd(_mm256_unpacklo_pd(lanes01, lanes23), 0xd8);
        second = _mm256_permute4x64_pd(_mm256_unpackhi_pd(lanes01, lanes23), 0xd8);
    }
};

} // namespace

void EvaluateBlockAvx2(const double* xs, double* ys, std::size_t count) { EvaluateF<Avx2>(xs, ys, count); }

void EvaluateElementaryAvx2(ElementaryFunction function, const double* xs, double* ys, std::size_t count)
{
    EvaluateElementaryFunction<Avx2>(function, xs, ys, count);
}
