#include "core/simd/VectorKernels.h"
#include "core/simd/VectorPaths.h"
#include "os/CpuFeatures.h"

namespace {

bool RunsAdvSimd() { return CpuSupports(InstructionSet::AdvSimd); }

constexpr PathEntry kPaths[] = {
    {EvaluationPath::AdvSimd, EvaluateBlockAdvSimd, EvaluateElementaryAdvSimd, RunsAdvSimd},
};

} // namespace

std::span<const PathEntry> VectorPaths() { return kPaths; }
