#pragma once
// Test support: whether the sum b + h, rounded once to a 64-bit significand (to nearest, ties to
// even, with an unbounded exponent), exceeds x, decided in exact integer arithmetic on the
// doubles' significands and exponents. An oracle written apart from the double-pair code it
// checks; it needs a 128-bit integer type (GCC and Clang on 64-bit targets).
#include <bit>
#include <cmath>
#include <cstdint>

#if defined(__SIZEOF_INT128__)
#define ROOTFINDER_HAVE_EXACT_SUM_ORACLE 1

namespace exact_sum_oracle {

using Int = __int128;

// A finite nonzero double as significand * 2^exponent, the significand an odd integer of at
// most 53 bits carrying the sign: 2^exponent is the value's own last unit.
struct Scaled {
    std::int64_t significand;
    int exponent;
};

inline Scaled Decompose(double v)
{
    int e = 0;
    const double fraction = std::frexp(v, &e); // v = fraction * 2^e, 0.5 <= |fraction| < 1
    Scaled scaled{static_cast<std::int64_t>(std::ldexp(fraction, 53)), e - 53};
    while (scaled.significand % 2 == 0) {
        scaled.significand /= 2;
        ++scaled.exponent;
    }
    return scaled;
}

inline int BitLength(Int v)
{
    const auto magnitude = static_cast<unsigned __int128>(v < 0 ? -v : v);
    const auto high = static_cast<std::uint64_t>(magnitude >> 64);
    return high != 0 ? 64 + std::bit_width(high) : std::bit_width(static_cast<std::uint64_t>(magnitude));
}

// The position just above the top bit of significand * 2^exponent.
inline int Top(Int significand, int exponent) { return BitLength(significand) + exponent; }

// Rounds significand * 2^exponent to 64 significant bits, to nearest with ties to even.
inline void RoundTo64Bits(Int& significand, int& exponent)
{
    const int drop = BitLength(significand) - 64;
    if (drop <= 0) return;
    const bool negative = significand < 0;
    Int magnitude = negative ? -significand : significand;
    const Int remainder = magnitude & ((Int(1) << drop) - 1);
    const Int half = Int(1) << (drop - 1);
    magnitude >>= drop;
    if (remainder > half || (remainder == half && (magnitude & 1) != 0)) magnitude += 1;
    significand = negative ? -magnitude : magnitude;
    exponent += drop;
}

// p * 2^ep > q * 2^eq for integers p, q of at most 65 bits.
inline bool Greater(Int p, int ep, Int q, int eq)
{
    if (p == 0) return q < 0;
    if (q == 0) return p > 0;
    if ((p > 0) != (q > 0)) return p > 0;
    // Same sign, both nonzero: compare magnitudes by their top bits, then aligned.
    const bool negative = p < 0;
    const int tp = Top(p, ep), tq = Top(q, eq);
    if (tp != tq) return negative ? tp < tq : tp > tq;
    const int low = ep < eq ? ep : eq;
    const Int ap = p << (ep - low), aq = q << (eq - low); // equal tops: both below 2^65 after alignment
    return ap > aq;
}

} // namespace exact_sum_oracle

// RN64(b + h) > x for finite b and h and any x (a NaN x gives false).
inline bool ExactRoundedSumExceeds(double b, double h, double x)
{
    using namespace exact_sum_oracle;
    if (std::isnan(x)) return false;
    if (x == INFINITY) return false;
    if (x == -INFINITY) return true;
    if (b == 0 || h == 0) return (b == 0 ? h : b) > x; // a double's own rounding is itself
    Scaled large = Decompose(b), small = Decompose(h);
    if (Top(small.significand, small.exponent) > Top(large.significand, large.exponent)) std::swap(large, small);
    Int sum = 0;
    int exponent = 0;
    if (Top(small.significand, small.exponent) < Top(large.significand, large.exponent) - 66) {
        // Below a quarter of the 64-bit spacing beside the larger: the sum rounds to the larger.
        sum = large.significand;
        exponent = large.exponent;
    } else {
        exponent = large.exponent < small.exponent ? large.exponent : small.exponent;
        sum = (Int(large.significand) << (large.exponent - exponent)) +
              (Int(small.significand) << (small.exponent - exponent));
        if (sum == 0) return 0 > x;
        RoundTo64Bits(sum, exponent);
    }
    if (x == 0) return sum > 0;
    const Scaled xs = Decompose(x);
    return Greater(sum, exponent, xs.significand, xs.exponent);
}

#endif
