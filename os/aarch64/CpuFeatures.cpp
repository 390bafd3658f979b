#include "os/CpuFeatures.h"

bool CpuSupports(InstructionSet set)
{
    return set == InstructionSet::AdvSimd; // part of AArch64
}
