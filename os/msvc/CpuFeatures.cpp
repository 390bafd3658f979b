#include "os/CpuFeatures.h"

#include <immintrin.h>
#include <intrin.h>

namespace {

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

} // namespace

bool CpuSupports(InstructionSet set)
{
    switch (set) {
    case InstructionSet::Sse2: return CpuHas(1, 3, 26);
    case InstructionSet::Avx2: return CpuHas(7, 1, 5) && OsSaves(0x6);      // YMM state
    case InstructionSet::Fma: return CpuHas(1, 2, 12) && OsSaves(0x6);      // YMM state
    case InstructionSet::Avx512F: return CpuHas(7, 1, 16) && OsSaves(0xE6); // ZMM, opmask and YMM state
    case InstructionSet::AdvSimd: return false;
    }
    return false;
}
