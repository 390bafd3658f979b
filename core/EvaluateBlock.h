#pragma once
// f over a block of abscissae at once, with vector maths where the CPU has it: the run's way of
// evaluating f in bulk. TargetFunction stays the one-at-a-time reference beside it.
#include <cstddef>
#include <string_view>

// The implementations, picked once per process for the CPU: the widest the CPU has, unless the
// environment variable ROOTFINDER_SIMD names another (scalar, sse2, avx2, avx512, advsimd).
enum class EvaluationPath { Scalar, Sse2, Avx2, Avx512, AdvSimd };

// ys[i] = f(xs[i]) for i < count, by the path in force. The vector paths take e^x, x^3, sin(x)
// and sin(x)^3 from a vector maths library (general pow with the exponent 3.0 for both cubes),
// each within 4 units of the last place; the scalar path is TargetFunction itself.
void EvaluateBlock(const double* xs, double* ys, std::size_t count);

EvaluationPath ActiveEvaluationPath();
std::string_view EvaluationPathName(EvaluationPath path);

// Whether this build and this CPU can run the path.
bool EvaluationPathAvailable(EvaluationPath path);

// What became of the path ROOTFINDER_SIMD names: none named (unset or empty), taken, a name
// that is no path, or a path this build or CPU cannot run (the default is used for the last two).
enum class EvaluationPathRequest { None, Taken, Unknown, Unavailable };
EvaluationPathRequest RequestedEvaluationPath();

// Puts the path in force, if available (for tests and benchmarks); returns whether it did.
bool ForceEvaluationPath(EvaluationPath path);
