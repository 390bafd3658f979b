// f with 2 doubles a vector (AArch64 Advanced SIMD, which every AArch64 CPU has).
#include "KernelBody.h"
#include "VectorKernels.h"

#include <arm_neon.h>

namespace {

// SLEEF's pow takes a negative base as it is, so the cube needs no bitwise operations here.
struct AdvSimd {
    using Vector = float64x2_t;
    static constexpr std::size_t kWidth = 2;
    static Vector Load(const double* in) { return vld1q_f64(in); }
    static void Store(double* out, Vector v) { vst1q_f64(out, v); }
    static Vector Splat(double value) { return vdupq_n_f64(value); }
    static Vector Sub(Vector a, Vector b) { return vsubq_f64(a, b); }
    static Vector Div(Vector a, Vector b) { return vdivq_f64(a, b); }
};

} // namespace

void EvaluateBlockAdvSimd(const double* xs, double* ys, std::size_t count) { EvaluateInVectors<AdvSimd>(xs, ys, count); }
