#include "os/FloatControl.h"

#include <xmmintrin.h>

#include <cstdint>

void ResetFloatControl()
{
    // The x87 control word: all six exceptions masked, 64-bit significands, rounding to nearest.
    const std::uint16_t x87 = 0x037F;
    asm volatile("fclex\n\tfldcw %0" : : "m"(x87));
    // SSE: the six masks (bits 7-12) set, rounding to nearest (bits 13-14 clear) and the sticky
    // flags (bits 0-5) cleared; denormals-are-zero and flush-to-zero (bits 6 and 15) as they were.
    _mm_setcsr((_mm_getcsr() & ~0x7FBFu) | 0x1F80u);
}
