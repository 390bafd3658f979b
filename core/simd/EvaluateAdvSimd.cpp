// f with 2 doubles a vector (AArch64 Advanced SIMD, which every AArch64 CPU has). A product's error
// by a fused multiply-add is exact, so it equals Dekker's on the other paths.
#include "core/simd/KernelBody.h"
#include "core/simd/VectorKernels.h"

#include <arm_neon.h>

#include <cstdint>

namespace {

struct AdvSimd {
    using Vector = float64x2_t;
    using Bits = uint64x2_t;
    using Mask = uint64x2_t;
    static constexpr std::size_t kWidth = 2;

    static Vector Load(const double* in) { return vld1q_f64(in); }
    static void Store(double* out, Vector v) { vst1q_f64(out, v); }
    static Vector Splat(double value) { return vdupq_n_f64(value); }
    static Vector Add(Vector a, Vector b) { return vaddq_f64(a, b); }
    static Vector Sub(Vector a, Vector b) { return vsubq_f64(a, b); }
    static Vector Mul(Vector a, Vector b) { return vmulq_f64(a, b); }
    static Vector Div(Vector a, Vector b) { return vdivq_f64(a, b); }
    static Vector Abs(Vector v) { return vabsq_f64(v); }
    static Vector ProductError(Vector a, Vector b, Vector product) { return vfmaq_f64(vnegq_f64(product), a, b); }

    static Mask Not(Mask m) { return veorq_u64(m, vdupq_n_u64(~std::uint64_t{0})); }
    static Mask Beyond(Vector v, Vector limit) { return Not(vcleq_f64(v, limit)); }
    static Mask Below(Vector v, Vector limit) { return vcltq_f64(v, limit); }
    static Mask Differ(Vector a, Vector b) { return Not(vceqq_f64(a, b)); }
    static Mask Either(Mask a, Mask b) { return vorrq_u64(a, b); }
    static unsigned LaneBits(Mask m) { return (vgetq_lane_u64(m, 0) & 1) | (vgetq_lane_u64(m, 1) & 1) << 1; }
    static Vector Select(Mask m, Vector yes, Vector no) { return vbslq_f64(m, yes, no); }

    static Bits AsBits(Vector v) { return vreinterpretq_u64_f64(v); }
    static Vector AsDoubles(Bits b) { return vreinterpretq_f64_u64(b); }
    static Bits SplatBits(std::uint64_t value) { return vdupq_n_u64(value); }
    static Bits AddBits(Bits a, Bits b) { return vaddq_u64(a, b); }
    static Bits AndBits(Bits a, Bits b) { return vandq_u64(a, b); }
    static Bits XorBits(Bits a, Bits b) { return veorq_u64(a, b); }
    template <int N>
    static Bits ShiftLeft(Bits b)
    {
        return vshlq_n_u64(b, N);
    }
    static Mask OddLanes(Bits b) { return vtstq_u64(b, SplatBits(1)); }
    static void GatherPairs(const std::uint64_t* table, Bits index, Vector& first, Vector& second)
    {
        const Vector lane0 = vreinterpretq_f64_u64(vld1q_u64(table + 2 * vgetq_lane_u64(index, 0)));
        const Vector lane1 = vreinterpretq_f64_u64(vld1q_u64(table + 2 * vgetq_lane_u64(index, 1)));
        first = vzip1q_f64(lane0, lane1);
        second = vzip2q_f64(lane0, lane1);
    }
};

} // namespace

void EvaluateBlockAdvSimd(const double* xs, double* ys, std::size_t count) { EvaluateF<AdvSimd>(xs, ys, count); }

void EvaluateElementaryAdvSimd(ElementaryFunction function, const double* xs, double* ys, std::size_t count)
{
    EvaluateElementaryFunction<AdvSimd>(function, xs, ys, count);
}
