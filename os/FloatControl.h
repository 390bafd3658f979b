#pragma once
// The floating-point control setting applied at start-up. It masks every floating-point
// exception, so a division by zero yields an infinity and an invalid operation a NaN, and both
// flow on: nothing traps. Rounding is to nearest, and an x87 unit keeps 64-bit significands.
// One half per compiler and processor family (msvc/ for MSVC's runtime, x86/ for GCC and Clang
// on x86, generic/ with <cfenv> for the rest), of which the build takes one.

// Applies the setting to every floating-point unit the platform has (x87 and SSE on x86; the
// others through <cfenv>, where exceptions never trap) and clears the sticky flags.
void ResetFloatControl();
