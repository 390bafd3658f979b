#include "os/CpuFeatures.h"

// GCC's and Clang's feature checks, which test the operating system's saving of the wider
// registers (XCR0) as well as the CPU's feature bits.
bool CpuSupports(InstructionSet set)
{
    __builtin_cpu_init(); // answers rightly even before the runtime's constructors have run
    switch (set) {
    case InstructionSet::Sse2: return __builtin_cpu_supports("sse2");
    case InstructionSet::Avx2: return __builtin_cpu_supports("avx2");
    case InstructionSet::Fma: return __builtin_cpu_supports("fma");
    case InstructionSet::Avx512F: return __builtin_cpu_supports("avx512f");
    case InstructionSet::AdvSimd: return false;
    }
    return false;
}
