#include "EvaluateBlock.h"

#include "TargetFunction.h"
#include "simd/VectorKernels.h"

#include <cstdlib>

namespace {

using Kernel = void (*)(const double*, double*, std::size_t);

void EvaluateBlockScalar(const double* xs, double* ys, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) ys[i] = TargetFunction(xs[i]);
}

// In the order of the enumeration.
constexpr std::string_view kNames[] = {"scalar", "sse2", "avx2", "avx512", "advsimd"};

struct PathEntry {
    EvaluationPath path;
    Kernel kernel;
};

// The implementations this build has, widest first: the default is the first the CPU runs.
const PathEntry kPaths[] = {
#if defined(ROOTFINDER_VECTOR_X86)
    {EvaluationPath::Avx512, EvaluateBlockAvx512},
    {EvaluationPath::Avx2, EvaluateBlockAvx2},
    {EvaluationPath::Sse2, EvaluateBlockSse2},
#elif defined(ROOTFINDER_VECTOR_AARCH64)
    {EvaluationPath::AdvSimd, EvaluateBlockAdvSimd},
#endif
    {EvaluationPath::Scalar, EvaluateBlockScalar},
};

const PathEntry* Find(EvaluationPath path)
{
    for (const PathEntry& entry : kPaths)
        if (entry.path == path) return &entry;
    return nullptr;
}

bool CpuRuns(EvaluationPath path)
{
    switch (path) {
#if defined(ROOTFINDER_VECTOR_X86) && (defined(__GNUC__) || defined(__clang__))
    case EvaluationPath::Avx512: return __builtin_cpu_supports("avx512f");
    case EvaluationPath::Avx2: return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
#endif
    case EvaluationPath::Sse2:    // part of x86-64
    case EvaluationPath::AdvSimd: // part of AArch64
    case EvaluationPath::Scalar: return true;
    default: return false;
    }
}

const PathEntry& DefaultPath()
{
    if (const char* wanted = std::getenv("ROOTFINDER_SIMD"))
        for (const PathEntry& entry : kPaths)
            if (EvaluationPathName(entry.path) == wanted && CpuRuns(entry.path)) return entry;
    for (const PathEntry& entry : kPaths)
        if (CpuRuns(entry.path)) return entry;
    return kPaths[sizeof kPaths / sizeof kPaths[0] - 1];
}

const PathEntry*& Active()
{
    static const PathEntry* active = &DefaultPath();
    return active;
}

} // namespace

void EvaluateBlock(const double* xs, double* ys, std::size_t count) { Active()->kernel(xs, ys, count); }

EvaluationPath ActiveEvaluationPath() { return Active()->path; }

std::string_view EvaluationPathName(EvaluationPath path) { return kNames[static_cast<int>(path)]; }

bool EvaluationPathAvailable(EvaluationPath path) { return Find(path) && CpuRuns(path); }

bool ForceEvaluationPath(EvaluationPath path)
{
    if (!EvaluationPathAvailable(path)) return false;
    Active() = Find(path);
    return true;
}
