#include "FloatControl.h"

#include <cfenv>
#if defined(__x86_64__) || defined(__i386__)
#include <fpu_control.h>
#include <xmmintrin.h>
#endif

namespace {
constexpr std::uint16_t kExceptionMasks = 0x003F; // invalid, denormal, zero-divide, overflow, underflow, precision
constexpr std::uint16_t kRoundingControl = 0x0C00;
} // namespace

void Set8087CW(std::uint16_t controlWord)
{
#if defined(__x86_64__) || defined(__i386__)
    fpu_control_t x87 = controlWord;
    _FPU_SETCW(x87);
    // SSE keeps its masks at bits 7-12 and its rounding control at bits 13-14, in the x87 order.
    unsigned mxcsr = _mm_getcsr() & ~0x7F80u;
    mxcsr |= static_cast<unsigned>(controlWord & kExceptionMasks) << 7;
    mxcsr |= static_cast<unsigned>(controlWord & kRoundingControl) << 3;
    _mm_setcsr(mxcsr & ~0x3Fu); // clear the sticky flags too
#else
    std::feclearexcept(FE_ALL_EXCEPT);
    std::fesetround(FE_TONEAREST);
    (void)controlWord;
#endif
}

void Reset8087CW() { Set8087CW(Default8087CW); }

std::uint16_t Get8087CW()
{
#if defined(__x86_64__) || defined(__i386__)
    fpu_control_t x87 = 0;
    _FPU_GETCW(x87);
    return static_cast<std::uint16_t>(x87);
#else
    return Default8087CW;
#endif
}
