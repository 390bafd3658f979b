#pragma once
// The vector instruction sets this CPU runs: those whose instructions it has and whose registers
// the operating system saves. The answer comes from a half per processor family and compiler
// (x86/ with GCC's and Clang's built-ins, msvc/ with MSVC's CPUID intrinsics, aarch64/, and
// generic/ for the rest, which runs none), of which the build takes one.

enum class InstructionSet {
    Sse2,    // x86
    Avx2,    // x86
    Fma,     // x86: the three-operand fused multiply-add
    Avx512F, // x86: AVX-512's foundation
    AdvSimd, // AArch64
};

// Whether this CPU and operating system run the instruction set; never for a set of another
// processor family than the build's.
bool CpuSupports(InstructionSet set);
