#pragma once
// The floating-point control setting applied at start-up. The default masks every
// floating-point exception, so a division by zero yields an infinity and an invalid
// operation a NaN, and both flow on: nothing traps. Rounding is to nearest.
#include <cstdint>

// x87 control word: all exceptions masked, 64-bit significand, round to nearest.
inline constexpr std::uint16_t Default8087CW = 0x037F;

// Applies an x87-style control word: its exception masks and rounding control to every
// floating-point unit the platform has (x87 and SSE on x86; the others through <cfenv>, where
// exceptions never trap), its precision control to the x87 unit. Clears the sticky flags.
void Set8087CW(std::uint16_t controlWord);
// Restores Default8087CW.
void Reset8087CW();
