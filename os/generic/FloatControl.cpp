#include "os/FloatControl.h"

#include <cfenv>

void ResetFloatControl()
{
    // No precision control and no trapping to set (exceptions are masked from the start): clear
    // the flags and round to nearest.
    std::feclearexcept(FE_ALL_EXCEPT);
    std::fesetround(FE_TONEAREST);
}
