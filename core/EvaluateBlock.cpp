#include "core/EvaluateBlock.h"

#include "core/maths/Cube.h"
#include "core/maths/Exp.h"
#include "core/maths/ScalarLanes.h"
#include "core/maths/Sin.h"
#include "core/simd/VectorPaths.h"
#include "core/TargetFunction.h"

#include <cstdlib>
#include <iterator>
#include <optional>

namespace {

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

// Every path with its name, in the order of the enumeration (held to it below), scalar first.
struct PathName {
    EvaluationPath path;
    std::string_view name;
};
// clang-format off
constexpr PathName kPathNames[] = {
    {EvaluationPath::Scalar, "scalar"},
    {EvaluationPath::Sse2, "sse2"},
    {EvaluationPath::Avx2, "avx2"},
    {EvaluationPath::Avx512, "avx512"},
    {EvaluationPath::AdvSimd, "advsimd"},
};
// clang-format on

constexpr bool InEnumerationOrder()
{
    for (std::size_t i = 0; i < std::size(kPathNames); ++i)
        if (static_cast<std::size_t>(kPathNames[i].path) != i) return false;
    return true;
}
static_assert(InEnumerationOrder(), "kPathNames lists each path once, in the order of EvaluationPath");

// The scalar path, which every build has and every CPU runs; the default where no vector path runs.
bool RunsScalar() { return true; }
constexpr PathEntry kScalarPath = {EvaluationPath::Scalar, EvaluateBlockScalar, EvaluateElementaryScalar, RunsScalar};

// The path's implementation, if this build has one.
const PathEntry* Find(EvaluationPath path)
{
    for (const PathEntry& entry : VectorPaths())
        if (entry.path == path) return &entry;
    return path == EvaluationPath::Scalar ? &kScalarPath : nullptr;
}

std::optional<EvaluationPath> NamedPath(std::string_view name)
{
    for (const PathName& entry : kPathNames)
        if (entry.name == name) return entry.path;
    return std::nullopt;
}

// The path ROOTFINDER_SIMD names where this CPU runs it, else the widest vector path it runs.
const PathEntry& DefaultPath()
{
    if (RequestedEvaluationPath() == EvaluationPathRequest::Taken)
        return *Find(*NamedPath(std::getenv("ROOTFINDER_SIMD")));
    for (const PathEntry& entry : VectorPaths())
        if (entry.cpuRuns()) return entry;
    return kScalarPath;
}

// Where the path in force is kept: the default, chosen on first use, until ForceEvaluationPath
// puts another there.
const PathEntry*& PathInForceSlot()
{
    static const PathEntry* inForce = &DefaultPath();
    return inForce;
}

} // namespace

void EvaluateBlock(const double* xs, double* ys, std::size_t count) { PathInForceSlot()->kernel(xs, ys, count); }

void EvaluateElementary(ElementaryFunction function, EvaluationPath path, const double* xs, double* ys,
                        std::size_t count)
{
    if (EvaluationPathAvailable(path)) Find(path)->elementary(function, xs, ys, count);
}

EvaluationPath ActiveEvaluationPath() { return PathInForceSlot()->path; }

std::string_view EvaluationPathName(EvaluationPath path)
{
    for (const PathName& entry : kPathNames)
        if (entry.path == path) return entry.name;
    return {};
}

bool EvaluationPathAvailable(EvaluationPath path)
{
    const PathEntry* entry = Find(path);
    return entry && entry->cpuRuns();
}

std::vector<EvaluationPath> AvailableEvaluationPaths()
{
    std::vector<EvaluationPath> paths;
    for (const PathName& entry : kPathNames)
        if (EvaluationPathAvailable(entry.path)) paths.push_back(entry.path);
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
    PathInForceSlot() = Find(path);
    return true;
}
