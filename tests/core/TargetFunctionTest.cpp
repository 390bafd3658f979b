#include "SecantRoot.h"
#include "TargetFunction.h"

#include <gtest/gtest.h>

#include <cstdio>

TEST(Smoke, Values)
{
    std::printf("%.12g %.12g %.12g %.12g\n", TargetFunction(1), TargetFunction(1.1), TargetFunction(2), TargetFunction(-1));
    int u = 0;
    std::printf("%.12g %d\n", secant_detail::Iterate(1.0, 1.1, 1e-4, TargetFunction, u), u);
}
