#pragma once

// f(x) = e^x / x^3 - sin(x)^3 - 2, the function whose roots the tool looks for.
double TargetFunction(double x);
