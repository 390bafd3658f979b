#pragma once
// The rare arguments of the elementary functions, one at a time: the same scalar code for every
// instruction set, so every path gives them the same bits.

namespace maths {

// e^x for |x| > 700 and NaNs: overflow to +infinity, subnormal results rounded once, +0.
double ExpBeyondNormalRange(double x);

// sin x for |x| > 2^26, infinities (NaN) and NaNs, reduced exactly (Payne and Hanek).
double SinOfLargeArgument(double x);

// x^3 rounded once to the nearest double, ties to even, computed in integers: any double.
double ExactCube(double x);

} // namespace maths
