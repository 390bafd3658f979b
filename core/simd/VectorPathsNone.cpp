#include "core/simd/VectorPaths.h"

// No vector path for this processor family: only the scalar one.
std::span<const PathEntry> VectorPaths() { return {}; }
