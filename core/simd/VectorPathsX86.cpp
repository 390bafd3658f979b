#include "core/simd/VectorKernels.h"
#include "core/simd/VectorPaths.h"
#include "os/CpuFeatures.h"

namespace {

bool RunsAvx512() { return CpuSupports(InstructionSet::Avx512F); }
bool RunsAvx2() { return CpuSupports(InstructionSet::Avx2) && CpuSupports(InstructionSet::Fma); }
bool RunsSse2() { return CpuSupports(InstructionSet::Sse2); } // every x86-64 CPU

constexpr PathEntry kPaths[] = {
    {EvaluationPath::Avx512, EvaluateBlockAvx512, EvaluateElementaryAvx512, RunsAvx512},
    {EvaluationPath::Avx2, EvaluateBlockAvx2, EvaluateElementaryAvx2, RunsAvx2},
    {EvaluationPath::Sse2, EvaluateBlockSse2, EvaluateElementarySse2, RunsSse2},
};

} // namespace

std::span<const PathEntry> VectorPaths() { return kPaths; }
