#pragma once
// The vector paths this build has for its processor family, widest first, each with its kernels
// and whether this CPU runs it. One file per family lists them (VectorPathsX86.cpp,
// VectorPathsAdvSimd.cpp, VectorPathsNone.cpp), and the build takes its processor's.
#include "core/EvaluateBlock.h"

#include <cstddef>
#include <span>

struct PathEntry {
    EvaluationPath path;
    void (*kernel)(const double* xs, double* ys, std::size_t count);
    void (*elementary)(ElementaryFunction function, const double* xs, double* ys, std::size_t count);
    bool (*cpuRuns)();
};

std::span<const PathEntry> VectorPaths();
