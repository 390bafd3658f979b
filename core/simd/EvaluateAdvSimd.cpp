// f with 2 doubles a vector (AArch64 Advanced SIMD, which every AArch64 CPU has).
#include "VectorKernels.h"

#include <arm_neon.h>
#include <sleef.h>

void EvaluateBlockAdvSimd(const double* xs, double* ys, std::size_t count)
{
    EvaluateInVectors<2>(xs, ys, count, [](const double* in, double* out) {
        const float64x2_t three = vdupq_n_f64(3.0);
        const float64x2_t x = vld1q_f64(in);
        const float64x2_t q = vdivq_f64(Sleef_expd2_u10advsimd(x), Sleef_powd2_u10advsimd(x, three));
        const float64x2_t t = Sleef_powd2_u10advsimd(Sleef_sind2_u10advsimd(x), three);
        vst1q_f64(out, vsubq_f64(vsubq_f64(q, t), vdupq_n_f64(2.0)));
    });
}
