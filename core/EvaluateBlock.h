#pragma once
// f over a block of abscissae at once, with vector maths where the CPU has it: the run's way of
// evaluating f in bulk. TargetFunction stays the one-at-a-time reference beside it.
#include <cstddef>
#include <string_view>
#include <vector>

// The implementations, picked once per process for the CPU: the widest the CPU has, unless the
// environment variable ROOTFINDER_SIMD names another (scalar, sse2, avx2, avx512, advsimd).
enum class EvaluationPath { Scalar, Sse2, Avx2, Avx512, AdvSimd };

// ys[i] = f(xs[i]) for i < count, by the path in force. Every path runs the same exp, power and
// sin bodies as TargetFunction (core/maths), so every path gives TargetFunction's bits.
void EvaluateBlock(const double* xs, double* ys, std::size_t count);

// The elementary functions f is made of, by themselves: e^x, sin x, and x^3 as the power function
// at the exponent 3.0 gives it (correctly rounded).
enum class ElementaryFunction { Exp, Sin, Cube };

// ys[i] = function(xs[i]) for i < count by the given path, which must be available; for measuring
// the functions' accuracy and holding the paths to the same bits.
void EvaluateElementary(ElementaryFunction function, EvaluationPath path, const double* xs, double* ys,
                        std::size_t count);

EvaluationPath ActiveEvaluationPath();
std::string_view EvaluationPathName(EvaluationPath path);

// Whether this build and this CPU can run the path.
bool EvaluationPathAvailable(EvaluationPath path);

// Every path this build and this CPU can run, the scalar one first.
std::vector<EvaluationPath> AvailableEvaluationPaths();

// What became of the path ROOTFINDER_SIMD names: none named (unset or empty), taken, a name
// that is no path, or a path this build or CPU cannot run (the default is used for the last two).
enum class EvaluationPathRequest { None, Taken, Unknown, Unavailable };
EvaluationPathRequest RequestedEvaluationPath();

// Puts the path in force, if available (for tests and benchmarks); returns whether it did.
bool ForceEvaluationPath(EvaluationPath path);
