#include "os/FloatControl.h"

#include <float.h>

void ResetFloatControl()
{
    // _controlfp_s sets the x87 unit and SSE alike.
    constexpr unsigned kAllMasked =
        _EM_INVALID | _EM_DENORMAL | _EM_ZERODIVIDE | _EM_OVERFLOW | _EM_UNDERFLOW | _EM_INEXACT;
    unsigned current = 0;
    _clearfp();
    _controlfp_s(&current, kAllMasked | _RC_NEAR, _MCW_EM | _MCW_RC);
#if defined(_M_IX86)
    // Only 32-bit x86 takes a precision control (x64's x87 unit is left to the runtime).
    _controlfp_s(&current, _PC_64, _MCW_PC);
#endif
}
