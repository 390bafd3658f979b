#pragma once
// The run's double pairs: sums and quotients carried in more than double precision without a
// wider floating-point type, so every platform gives the same bits whatever its long double is.
// Built on the error-free transformations of core/maths/LaneArithmetic.h, taken here on one
// double, with their terms; the product is the one for factors of any size.
#include "core/maths/ScalarLanes.h"

#include <cmath>

using DoubleDouble = maths::Pair<ScalarLanes>;

inline DoubleDouble TwoSum(double a, double b) { return maths::TwoSum<ScalarLanes>(a, b); }
inline DoubleDouble FastTwoSum(double a, double b) { return maths::FastTwoSum<ScalarLanes>(a, b); }
inline DoubleDouble TwoProduct(double a, double b) { return maths::TwoProductAnyRange<ScalarLanes>(a, b); }

// (x.hi + x.lo) * b, to about twice double precision.
inline DoubleDouble Multiply(DoubleDouble x, double b)
{
    const DoubleDouble p = TwoProduct(x.hi, b);
    if (!std::isfinite(p.hi)) return p;
    return FastTwoSum(p.hi, p.lo + x.lo * b);
}

// (x.hi + x.lo) / (y.hi + y.lo), to about twice double precision: one long-division step.
inline DoubleDouble Divide(DoubleDouble x, DoubleDouble y)
{
    const double q1 = x.hi / y.hi;
    if (!std::isfinite(q1) || q1 == 0) return {q1, 0.0};
    // The remainder x - q1 * y, its leading part exact.
    const DoubleDouble p = TwoProduct(q1, y.hi);
    const double remainder = ((x.hi - p.hi) - p.lo + x.lo) - q1 * y.lo;
    return FastTwoSum(q1, remainder / y.hi);
}

// a - (x.hi + x.lo), rounded once to a double.
inline double SubtractRounded(double a, DoubleDouble x)
{
    const DoubleDouble d = TwoSum(a, -x.hi);
    if (!std::isfinite(d.hi)) return a - x.hi;
    return d.hi + (d.lo - x.lo);
}

// The sum a + b rounded once to a 64-bit significand, to nearest with ties to even, with the
// exponent range of the x87 extended format: the value an x87 unit forms for (long double)a + b.
// Held as a double pair, it compares with any double exactly as the x87 sum would.
class ExtendedSum {
public:
    ExtendedSum(double a, double b);

    // value > x, as the x87 comparison gives it (false for a NaN x).
    bool Exceeds(double x) const
    {
        if (overflowed_) return hi_ > 0 ? x < hi_ : x == hi_;
        return hi_ > x || (hi_ == x && lo_ > 0);
    }

private:
    // The value as hi + lo, hi the value rounded to a double; for a sum beyond the double range,
    // an infinity of its sign and lo = 0.
    double hi_ = 0, lo_ = 0;
    bool overflowed_ = false;
};

inline ExtendedSum::ExtendedSum(double a, double b)
{
    const DoubleDouble exact = TwoSum(a, b);
    if (std::isinf(exact.hi) && std::isfinite(a) && std::isfinite(b)) {
        // The double sum overflowed; the x87 sum, with its wider exponent, lies beyond every
        // finite double, below +infinity (or above -infinity).
        hi_ = exact.hi;
        overflowed_ = true;
        return;
    }
    if (!std::isfinite(exact.hi) || exact.lo == 0) {
        hi_ = exact.hi;
        return;
    }
    // Work on the magnitude: rounding to nearest, ties to even, is symmetric.
    const double sign = exact.hi < 0 ? -1.0 : 1.0;
    const double s = std::fabs(exact.hi), e = exact.lo * sign;
    // Spacing of 64-bit significands beside s: 2^-11 of the double spacing there, half that
    // just below a power of two, where the exact sum s + e (e < 0) falls into the binade below.
    const int exponent = std::ilogb(s);
    double spacing = std::ldexp(1.0, exponent - 63);
    if (e < 0 && s == std::ldexp(1.0, exponent)) spacing /= 2;
    double rounded = e;
    if (spacing != 0) {
        // e is within half a double spacing of zero, so e / spacing is exact and below 2^11;
        // s is an even multiple of the spacing, so the tie goes to an even quotient.
        const double quotient = e / spacing;
        double whole = std::floor(quotient);
        const double fraction = quotient - whole;
        if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0)) whole += 1;
        rounded = whole * spacing;
    }
    const DoubleDouble value = TwoSum(s, rounded);
    hi_ = value.hi * sign;
    lo_ = value.lo * sign;
}
