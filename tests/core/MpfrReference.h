#pragma once
// f's elementary functions against MPFR: the exact value of e^x, sin x or x^3 at a double, how far
// a double result lies from it, and random arguments drawn over the ranges the functions treat
// apart. Shared by the tests and bench/maths_accuracy.
#include "core/EvaluateBlock.h"

#include <mpfr.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

inline bool SameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b) || (std::isnan(a) && std::isnan(b));
}

// The function's value at x to 256 bits (the cube exactly: 159 bits at most), and that rounded once.
class ExactValue {
public:
    ExactValue(ElementaryFunction function, double x)
    {
        mpfr_t argument;
        mpfr_init2(argument, 53);
        mpfr_init2(value_, 256);
        mpfr_set_d(argument, x, MPFR_RNDN);
        if (function == ElementaryFunction::Exp) mpfr_exp(value_, argument, MPFR_RNDN);
        else if (function == ElementaryFunction::Sin) mpfr_sin(value_, argument, MPFR_RNDN);
        else mpfr_pow_ui(value_, argument, 3, MPFR_RNDN);
        mpfr_clear(argument);
        rounded_ = mpfr_get_d(value_, MPFR_RNDN);
    }
    ~ExactValue() { mpfr_clear(value_); }
    ExactValue(const ExactValue&) = delete;
    ExactValue& operator=(const ExactValue&) = delete;

    double Rounded() const { return rounded_; }

    // |y - exact| in units of the exact value's last place (2^-1074 below 2^-1022). Where the exact
    // value rounds to a zero, an infinity or a NaN, y must be that: 0 if it is, infinite if not;
    // infinite too for a zero where it does not (a result flushed to 0 is wrong, however near).
    double UnitsOff(double y) const
    {
        constexpr double kInf = std::numeric_limits<double>::infinity();
        if (rounded_ == 0 || !std::isfinite(rounded_) || !std::isfinite(y)) return SameBits(y, rounded_) ? 0 : kInf;
        if (y == 0) return kInf;
        mpfr_t difference;
        mpfr_init2(difference, 2200);
        mpfr_sub_d(difference, value_, y, MPFR_RNDN); // exact: 2200 bits hold it
        const long unitExponent = std::max<long>(mpfr_get_exp(value_) - 53, -1074);
        mpfr_mul_2si(difference, difference, -unitExponent, MPFR_RNDN);
        const double units = std::fabs(mpfr_get_d(difference, MPFR_RNDN));
        mpfr_clear(difference);
        return units;
    }

private:
    mpfr_t value_;
    double rounded_;
};

// A random double: any bit pattern, or a magnitude spread evenly over a range of binary exponents
// with either sign, or evenly over an interval.
struct Source {
    enum Kind { AnyBits, Exponents, Interval } kind;
    double low, high;

    double Draw(std::mt19937_64& random) const
    {
        switch (kind) {
        case AnyBits: return std::bit_cast<double>(random());
        case Exponents: {
            const double magnitude = std::exp2(std::uniform_real_distribution<double>(low, high)(random));
            return random() & 1 ? -magnitude : magnitude;
        }
        case Interval: return std::uniform_real_distribution<double>(low, high)(random);
        }
        return 0;
    }
};
