#include "core/EvaluateBlock.h"

#include "core/maths/Cube.h"
#include "core/maths/Exp.h"
#include "core/maths/ScalarLanes.h"
#include "core/maths/Sin.h"
#include "core/simd/VectorKernels.h"
#include "core/TargetFunction.h"

#include <cstdlib>
#include <iterator>
#include <optional>

#if defined(ROOTFINDER_VECTOR_X86) && defined(_MSC_VER) && !defined(__clang__)
#include <immintrin.h>
#include <intrin.h>
#endif

namespace {

using Kernel = void (*)(const double*, double*, std::size_t);
using ElementaryKernel = void (*)(ElementaryFunction, const double*, double*, std::size_t);

void EvaluateBlockScalar(const double* xs, double* ys, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) ys[i] = TargetFunction(xs[i]);
}

double ElementaryScalar(ElementaryFunction function, double x)
{
    switch (function) {
    case ElementaryFunction::Exp: return maths::Exp<ScalarLanes>(x);
    case ElementaryFunction::Sin: return maths::Sin<ScalarLanes>(x);
    case ElementaryFunction::Cube: return maths::CubePower<ScalarLanes>(x);
    }
    return x;
}

void EvaluateElementaryScalar(ElementaryFunction function, const double* xs, double* ys, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) ys[i] = ElementaryScalar(function, xs[i]);
}

// In the order of the enumeration.
constexpr std::string_view kNames[] = {"scalar", "sse2", "avx2", "avx512", "advsimd"};

struct PathEntry {
    EvaluationPath path;
    Kernel kernel;
    ElementaryKernel elementary;
};

// The implementations this build has, widest first: the default is the first the CPU runs.
const PathEntry kPaths[] = {
#if defined(ROOTFINDER_VECTOR_X86)
    {EvaluationPath::Avx512, EvaluateBlockAvx512, EvaluateElementaryAvx512},
    {EvaluationPath::Avx2, EvaluateBlockAvx2, EvaluateElementaryAvx2},
    {EvaluationPath::Sse2, EvaluateBlockSse2, EvaluateElementarySse2},
#elif defined(ROOTFINDER_VECTOR_AARCH64)
    {EvaluationPath::AdvSimd, EvaluateBlockAdvSimd, EvaluateElementaryAdvSimd},
#endif
    {EvaluationPath::Scalar, EvaluateBlockScalar, EvaluateElementaryScalar},
};

const PathEntry* Find(EvaluationPath path)
{
    for (const PathEntry& entry : kPaths)
        if (entry.path == path) return &entry;
    return nullptr;
}

#if defined(ROOTFINDER_VECTOR_X86) && defined(_MSC_VER) && !defined(__clang__)
// MSVC has no __builtin_cpu_supports: the CPU's feature bits, and whether the operating system
// saves the wider registers (XCR0), straight from CPUID.
bool CpuHas(int leaf, int registerIndex, int bit)
{
    int info[4] = {};
    __cpuid(info, 0);
    if (info[0] < leaf) return false;
    __cpuidex(info, leaf, 0);
    return (info[registerIndex] >> bit) & 1;
}

bool OsSaves(unsigned long long stateMask)
{
    return CpuHas(1, 2, 27) && (_xgetbv(0) & stateMask) == stateMask; // OSXSAVE, then XCR0
}

bool HasAvx512F() { return CpuHas(7, 1, 16) && OsSaves(0xE6); }                 // ZMM, opmask and YMM state
bool HasAvx2AndFma() { return CpuHas(7, 1, 5) && CpuHas(1, 2, 12) && OsSaves(0x6); } // YMM state
#elif defined(ROOTFINDER_VECTOR_X86)
bool HasAvx512F() { return __builtin_cpu_supports("avx512f"); }
bool HasAvx2AndFma() { return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"); }
#endif

std::optional<EvaluationPath> NamedPath(std::string_view name)
{
    for (std::size_t i = 0; i < std::size(kNames); ++i)
        if (kNames[i] == name) return static_cast<EvaluationPath>(i);
    return std::nullopt;
}

bool CpuRuns(EvaluationPath path)
{
    switch (path) {
#if defined(ROOTFINDER_VECTOR_X86)
    case EvaluationPath::Avx512: return HasAvx512F();
    case EvaluationPath::Avx2: return HasAvx2AndFma();
#endif
    case EvaluationPath::Sse2:    // part of x86-64
    case EvaluationPath::AdvSimd: // part of AArch64
    case EvaluationPath::Scalar: return true;
    default: return false;
    }
}

const PathEntry& DefaultPath()
{
    if (RequestedEvaluationPath() == EvaluationPathRequest::Taken) return *Find(*NamedPath(std::getenv("ROOTFINDER_SIMD")));
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

void EvaluateElementary(ElementaryFunction function, EvaluationPath path, const double* xs, double* ys,
                        std::size_t count)
{
    if (EvaluationPathAvailable(path)) Find(path)->elementary(function, xs, ys, count);
}

EvaluationPath ActiveEvaluationPath() { return Active()->path; }

std::string_view EvaluationPathName(EvaluationPath path) { return kNames[static_cast<int>(path)]; }

bool EvaluationPathAvailable(EvaluationPath path) { return Find(path) && CpuRuns(path); }

std::vector<EvaluationPath> AvailableEvaluationPaths()
{
    std::vector<EvaluationPath> paths;
    for (std::size_t i = 0; i < std::size(kNames); ++i)
        if (EvaluationPathAvailable(static_cast<EvaluationPath>(i))) paths.push_back(static_cast<EvaluationPath>(i));
    return paths;
}

EvaluationPathRequest RequestedEvaluationPath()
{
    const char* wanted = std::getenv("ROOTFINDER_SIMD");
    if (!wanted || !*wanted) return EvaluationPathRequest::None; // set empty: as if unset
    const auto path = NamedPath(wanted);
    if (!path) return EvaluationPathRequest::Unknown;
    return EvaluationPathAvailable(*path) ? EvaluationPathRequest::Taken : EvaluationPathRequest::Unavailable;
}

bool ForceEvaluationPath(EvaluationPath path)
{
    if (!EvaluationPathAvailable(path)) return false;
    Active() = Find(path);
    return true;
}
