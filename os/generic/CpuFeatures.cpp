#include "os/CpuFeatures.h"

// A processor family with no vector path: f is evaluated one value at a time.
bool CpuSupports(InstructionSet) { return false; }
