// The arguments the lanes hand over one at a time. The integer arithmetic works on 32-bit limbs
// in 64-bit words, which every compiler has.
#include "core/maths/SlowPaths.h"

#include "core/ExactArithmetic.h"
#include "core/maths/Exp.h"
#include "core/maths/ScalarLanes.h"
#include "core/maths/Sin.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace maths {
namespace {

constexpr std::uint64_t kSignificand = (std::uint64_t{1} << 52) - 1;

// a * b as two 64-bit words.
struct Wide {
    std::uint64_t hi, lo;
};

Wide MultiplyWide(std::uint64_t a, std::uint64_t b)
{
    const std::uint64_t a0 = a & 0xffffffff, a1 = a >> 32, b0 = b & 0xffffffff, b1 = b >> 32;
    const std::uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
    const std::uint64_t middle = (p00 >> 32) + (p01 & 0xffffffff) + (p10 & 0xffffffff);
    return {p11 + (p01 >> 32) + (p10 >> 32) + (middle >> 32), (middle << 32) | (p00 & 0xffffffff)};
}

// Bits [from, from + 64) of a three-word integer, least significant word first.
std::uint64_t BitsFrom(const std::uint64_t (&w)[3], int from)
{
    const int word = from / 64, offset = from % 64;
    const std::uint64_t low = word < 3 ? w[word] >> offset : 0;
    const std::uint64_t high = word + 1 < 3 && offset != 0 ? w[word + 1] << (64 - offset) : 0;
    return low | high;
}

// Whether any of the bits [0, below) is set.
bool AnyBitBelow(const std::uint64_t (&w)[3], int below)
{
    for (int word = 0; word < 3 && below > 0; ++word, below -= 64)
        if ((below >= 64 ? w[word] : w[word] & ((std::uint64_t{1} << below) - 1)) != 0) return true;
    return false;
}

// 32 bits of a little-endian limb array from bit `from` up; bits outside it read as zeros.
template <std::size_t N>
std::uint32_t LimbBits(const std::uint32_t (&limbs)[N], int from)
{
    const int index = from >> 5, offset = from & 31; // floor division, also for negative `from`
    const auto limb = [&](int i) -> std::uint64_t { return i >= 0 && i < static_cast<int>(N) ? limbs[i] : 0; };
    return static_cast<std::uint32_t>((limb(index + 1) << 32 | limb(index)) >> offset);
}

// |x| 2/pi = n + f with n an integer and -1/2 <= f < 1/2, then r = f pi/2, for 2^26 < |x| < infinity.
// Digits of 2/pi weighing 2^-(32 j0) or more add multiples of 4 to |x| 2/pi and are skipped; the
// next 224 bits times the significand leave at least 190 bits of f, and 2^-130 is all it needs
// (no double lies closer than 2^-61 to a multiple of pi/2).
Reduction<ScalarLanes> ReduceByHalfPiExactly(double x)
{
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(x);
    const std::uint64_t significand = (bits & kSignificand) | (kSignificand + 1);
    const int exponent = static_cast<int>(bits >> 52 & 0x7ff) - 1075; // |x| = significand 2^exponent
    const int j0 = exponent > 2 ? (exponent - 2) / 32 : 0;
    const int point = 224 - (exponent - 32 * j0); // |x| 2/pi = product 2^-point, modulo 4

    std::uint32_t product[9] = {};
    const std::uint64_t factor[2] = {significand & 0xffffffff, significand >> 32};
    for (int a = 0; a < 2; ++a) {
        std::uint64_t carry = 0;
        for (int k = 0; k < 7; ++k) {
            const std::uint64_t t = factor[a] * kTwoOverPiWords[j0 + 6 - k] + product[a + k] + carry;
            product[a + k] = static_cast<std::uint32_t>(t);
            carry = t >> 32;
        }
        product[a + 7] = static_cast<std::uint32_t>(carry);
    }

    std::uint64_t n = LimbBits(product, point) & 3;
    std::uint32_t fraction[6]; // weights 2^-1 to 2^-192, most significant first
    for (int i = 0; i < 6; ++i) fraction[i] = LimbBits(product, point - 32 * (i + 1));
    double sign = std::signbit(x) ? -1.0 : 1.0;
    if (fraction[0] >> 31) { // f >= 1/2: n + 1 is nearer, and f - 1 = -(2^192 - f) 2^-192
        ++n;
        sign = -sign;
        std::uint64_t carry = 1;
        for (int i = 5; i >= 0; --i) {
            const std::uint64_t t = std::uint64_t{static_cast<std::uint32_t>(~fraction[i])} + carry;
            fraction[i] = static_cast<std::uint32_t>(t);
            carry = t >> 32;
        }
    }
    // f as a double pair: each word times its weight is exact, and so is each sum with its error.
    double hi = 0, lo = 0, weight = 1;
    for (std::uint32_t word : fraction) {
        weight *= 0x1p-32;
        const DoubleDouble sum = ::TwoSum(hi, word * weight);
        hi = sum.hi;
        lo += sum.lo;
    }
    const DoubleDouble product0 = ::TwoProduct(hi, kHalfPiHi);
    const DoubleDouble r = ::FastTwoSum(product0.hi, product0.lo + (hi * kHalfPiLo + lo * kHalfPiHi));
    if (std::signbit(x)) n = 0 - n; // sin(-x) = -sin x: -n and -r
    return {n, sign * r.hi, sign * r.lo};
}

} // namespace

double ExpBeyondNormalRange(double x)
{
    if (std::isnan(x)) return x + x;
    if (x > 709.8) return std::numeric_limits<double>::infinity();
    if (x < -745.2) return 0.0; // below half the smallest subnormal
    const ExpParts<ScalarLanes> parts = ExpInParts<ScalarLanes>(x);
    if (x > 0) {
        // 2^(k/128) may not be a double: scale it by 2^-1009, and the result back (exact, or the overflow).
        const double scale = std::bit_cast<double>(parts.scaleBits - (std::uint64_t{1009} << 52));
        return (scale + scale * parts.tail) * 0x1p1009;
    }
    const double scale = std::bit_cast<double>(parts.scaleBits + (std::uint64_t{1022} << 52)); // scaled by 2^1022
    const double product = scale * parts.tail;
    const double y = scale + product;
    if (y >= 1.0) return y * 0x1p-1022; // a normal result: exact
    // A subnormal one: y plus its rounding error, rounded once to the subnormals' spacing, which is
    // 2^-52 in units of 2^-1022, the spacing of the doubles in [1, 2).
    const double yError = (scale - y) + product;
    const double shifted = 1.0 + y;
    const double shiftError = (1.0 - shifted) + y;
    return ((shifted + (shiftError + yError)) - 1.0) * 0x1p-1022;
}

double SinOfLargeArgument(double x)
{
    if (!std::isfinite(x)) return x - x; // NaN for the infinities; a NaN stays one
    return SinFromReduction<ScalarLanes>(ReduceByHalfPiExactly(x));
}

double ExactCube(double x)
{
    if (!std::isfinite(x) || x == 0) return x * x * x; // the zeros, infinities and NaNs as they are
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(x);
    const int biased = static_cast<int>(bits >> 52 & 0x7ff);
    const std::uint64_t m = biased == 0 ? bits & kSignificand : (bits & kSignificand) | (kSignificand + 1);
    const int e = biased == 0 ? -1074 : biased - 1075; // |x| = m 2^e

    // m^3 in three 64-bit words, least significant first.
    const Wide square = MultiplyWide(m, m);
    const Wide low = MultiplyWide(square.lo, m), high = MultiplyWide(square.hi, m);
    std::uint64_t cube[3] = {low.lo, low.hi + high.lo, 0};
    cube[2] = high.hi + (cube[1] < low.hi);
    const int length = cube[2]   ? 128 + std::bit_width(cube[2])
                       : cube[1] ? 64 + std::bit_width(cube[1])
                                 : std::bit_width(cube[0]);

    // The result's spacing 2^g: 53 significant bits, or the subnormals' 2^-1074.
    const int g = std::max(length - 53 + 3 * e, -1074);
    if (g > 971) return std::copysign(std::numeric_limits<double>::infinity(), x);
    const int shift = g - 3 * e;
    std::uint64_t q = 0; // |x^3| / 2^g, rounded to nearest, ties to even
    if (shift <= 0) {
        q = cube[0] << -shift; // exact: at most 53 bits
    } else if (shift <= length) {
        q = BitsFrom(cube, shift);
        const bool half = BitsFrom(cube, shift - 1) & 1;
        if (half && (AnyBitBelow(cube, shift - 1) || (q & 1))) ++q;
    }
    // q 2^g: a subnormal's bits are q itself, a normal's exponent field counts from g + 1075 with
    // q's leading bit taken off; a q rounded up to 2^53 carries into the exponent.
    const std::uint64_t magnitude = (static_cast<std::uint64_t>(g + 1074) << 52) + q;
    return std::bit_cast<double>(magnitude | (bits & (std::uint64_t{1} << 63)));
}

} // namespace maths
