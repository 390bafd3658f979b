#pragma once
// One double as the lanes of the elementary functions and of the error-free transformations: the
// scalar path, the rare arguments that every vector path hands to scalar code, and the run's own
// double pairs (core/ExactArithmetic.h). The products' errors come from Dekker's algorithm, which
// gives exactly what a fused multiply-add gives wherever the bodies use it. Only files compiled
// for the baseline instruction set include it, so their copies of the bodies may be shared.
#include "core/maths/LaneArithmetic.h"

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>

struct ScalarLanes {
    using Vector = double;
    using Bits = std::uint64_t;
    using Mask = bool;
    static constexpr std::size_t kWidth = 1;

    static double Load(const double* in) { return *in; }
    static void Store(double* out, double v) { *out = v; }
    static double Splat(double value) { return value; }
    static double Add(double a, double b) { return a + b; }
    static double Sub(double a, double b) { return a - b; }
    static double Mul(double a, double b) { return a * b; }
    static double Div(double a, double b) { return a / b; }
    static double ProductError(double a, double b, double product)
    {
        return std::isfinite(product) ? maths::DekkerProductError<ScalarLanes>(a, b, product) : 0.0;
    }
    static double Abs(double v) { return std::bit_cast<double>(std::bit_cast<Bits>(v) & ~(Bits{1} << 63)); }

    static bool Beyond(double v, double limit) { return !(v <= limit); } // or NaN
    static bool Below(double v, double limit) { return v < limit; }
    static bool Differ(double a, double b) { return a != b; }
    static bool Either(bool a, bool b) { return a || b; }
    static unsigned LaneBits(bool m) { return m; }
    static double Select(bool m, double yes, double no) { return m ? yes : no; }

    static Bits AsBits(double v) { return std::bit_cast<Bits>(v); }
    static double AsDoubles(Bits b) { return std::bit_cast<double>(b); }
    static Bits SplatBits(std::uint64_t value) { return value; }
    static Bits AddBits(Bits a, Bits b) { return a + b; }
    static Bits AndBits(Bits a, Bits b) { return a & b; }
    static Bits XorBits(Bits a, Bits b) { return a ^ b; }
    template <int N>
    static Bits ShiftLeft(Bits b)
    {
        return b << N;
    }
    static bool OddLanes(Bits b) { return b & 1; }
    // The pair table[2 index], table[2 index + 1], as doubles.
    static void GatherPairs(const std::uint64_t* table, Bits index, double& first, double& second)
    {
        first = std::bit_cast<double>(table[2 * index]);
        second = std::bit_cast<double>(table[2 * index + 1]);
    }
};
