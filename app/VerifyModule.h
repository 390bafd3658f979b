#pragma once
// The verdict module, rootfinder-verify: the proofs behind --roots and --all-roots. It holds the
// command line's only use of Arb, so a run that asks for neither never loads Arb. Its entry
// points have C linkage: no exception and no C++ object crosses the boundary. The structures it
// takes are passed as laid out in this build, so a program loads only a module that reports the
// interface version it was built with.
#include "core/RootVerdict.h"

#include <cstddef>

// The interface below, as a number: raised whenever a signature, a structure it passes (the
// root records, the inputs, the verdicts, the zeros) or the meaning of an argument changes.
inline constexpr int kVerifyModuleVersion = 1;

// Returns the module's kVerifyModuleVersion; the first entry point called, and the only one before it agrees.
using VerifyModuleVersionFunction = int (*)();

// Receives one zero of f (or undecided piece) and the numbers of the root lines near it.
using ZeroSinkFunction = void (*)(void* context, const ZeroEnclosure* zero, const long long* lines, std::size_t count);

// Judges the `count` root lines of a run on `inputs` into `verdicts`, then
// hands every zero of f on [min(a, b), max(a, b)] to `zeroSink` (skipped when null). Returns 1;
// or 0 with a UTF-8 message, cut to `errorSize` bytes and terminated, in `error`.
using VerifyRunFunction = int (*)(const RootRecord* lines, std::size_t count, const CalculationInputs* inputs,
                                  LineVerdict* verdicts, ZeroSinkFunction zeroSink, void* context, char* error,
                                  std::size_t errorSize);

// The entry points' names in the module.
inline constexpr const char* kVerifyModuleVersionSymbol = "RootfinderVerifyModuleVersion";
inline constexpr const char* kVerifyRunSymbol = "RootfinderVerifyRun";
