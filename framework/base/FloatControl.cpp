#include "framework/base/FloatControl.h"

#include <cfenv>

// One section per platform: MSVC's runtime, GCC and Clang on x86 (glibc, MinGW, Apple), and
// <cfenv> everywhere else (AArch64 and others, whose exceptions are masked from the start).
#if defined(_MSC_VER)
#include <float.h>
#elif defined(__x86_64__) || defined(__i386__)
#include <xmmintrin.h>
#endif

namespace {

[[maybe_unused]] constexpr std::uint16_t kExceptionMasks = 0x003F; // invalid, denormal, zero-divide, overflow, underflow, precision
[[maybe_unused]] constexpr std::uint16_t kPrecisionControl = 0x0300;
constexpr std::uint16_t kRoundingControl = 0x0C00;

// The x87 rounding field as a <cfenv> rounding mode.
[[maybe_unused]] int RoundingMode(std::uint16_t controlWord)
{
    switch (controlWord & kRoundingControl) {
    case 0x0400: return FE_DOWNWARD;
    case 0x0800: return FE_UPWARD;
    case 0x0C00: return FE_TOWARDZERO;
    default: return FE_TONEAREST;
    }
}

} // namespace

void Set8087CW(std::uint16_t controlWord)
{
#if defined(_MSC_VER)
    // _controlfp_s takes the x87 layout's meaning in its own bit values, and sets x87 and SSE alike.
    unsigned masks = 0;
    if (controlWord & 0x01) masks |= _EM_INVALID;
    if (controlWord & 0x02) masks |= _EM_DENORMAL;
    if (controlWord & 0x04) masks |= _EM_ZERODIVIDE;
    if (controlWord & 0x08) masks |= _EM_OVERFLOW;
    if (controlWord & 0x10) masks |= _EM_UNDERFLOW;
    if (controlWord & 0x20) masks |= _EM_INEXACT;
    static const unsigned kRounding[] = {_RC_NEAR, _RC_DOWN, _RC_UP, _RC_CHOP};
    unsigned current = 0;
    _clearfp();
    _controlfp_s(&current, masks | kRounding[(controlWord & kRoundingControl) >> 10], _MCW_EM | _MCW_RC);
#if defined(_M_IX86)
    static const unsigned kPrecision[] = {_PC_24, _PC_24, _PC_53, _PC_64};
    _controlfp_s(&current, kPrecision[(controlWord & kPrecisionControl) >> 8], _MCW_PC);
#endif
#elif defined(__x86_64__) || defined(__i386__)
    std::uint16_t x87 = controlWord;
    asm volatile("fclex\n\tfldcw %0" : : "m"(x87));
    // SSE keeps its masks at bits 7-12 and its rounding control at bits 13-14, in the x87 order.
    unsigned mxcsr = _mm_getcsr() & ~0x7FBFu; // masks, rounding and sticky flags cleared
    mxcsr |= static_cast<unsigned>(controlWord & kExceptionMasks) << 7;
    mxcsr |= static_cast<unsigned>(controlWord & kRoundingControl) << 3;
    _mm_setcsr(mxcsr);
#else
    // No precision control and no trapping to set: clear the flags and set the rounding.
    std::feclearexcept(FE_ALL_EXCEPT);
    std::fesetround(RoundingMode(controlWord));
#endif
}

void Reset8087CW() { Set8087CW(Default8087CW); }
