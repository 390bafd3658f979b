// The start-up floating-point setting: whatever rounding and flags it finds, it leaves rounding to
// nearest, the flags clear and every exception masked, in the units double arithmetic uses.
#include "os/FloatControl.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>

namespace {

TEST(FloatControl, RestoresRoundingToNearestClearsTheFlagsAndTrapsNothing)
{
    for (const int mode : {FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
        ASSERT_EQ(std::fesetround(mode), 0);
        std::feraiseexcept(FE_INEXACT | FE_DIVBYZERO);
        ResetFloatControl();
        EXPECT_EQ(std::fegetround(), FE_TONEAREST) << mode;
        EXPECT_EQ(std::fetestexcept(FE_ALL_EXCEPT), 0) << mode;
        volatile double one = 1.0, tiny = 0x1p-60, zero = 0.0;
        EXPECT_EQ(one + tiny, 1.0) << mode;   // not rounded up
        EXPECT_EQ(-one - tiny, -1.0) << mode; // nor down
        EXPECT_TRUE(std::isinf(one / zero)) << mode;
    }
}

} // namespace
