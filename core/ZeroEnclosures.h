#pragma once
// Every zero of f on an interval, each proven inside an enclosure by ball arithmetic. A piece on
// which the bound of f keeps one sign holds no zero; one on which the bound of f' keeps one sign
// and f has opposite signs at the ends holds exactly one; any other piece is halved. Pieces left
// undecided are tried again at twice the working precision while time remains: precision is
// doubled as long as the doubled step, expected to take four times as long, ends before the
// deadline.
#include <chrono>
#include <vector>

using VerifyClock = std::chrono::steady_clock;

enum class EnclosureStatus {
    Root,      // exactly one zero of f lies in [lower, upper]
    Undecided, // no proof either way for [lower, upper]
};

struct ZeroEnclosure {
    double lower;
    double upper;
    EnclosureStatus status;
};

// Zeros of f in [lower, upper] (lower <= upper, infinite ends allowed), in increasing order and
// disjoint. A Root enclosure is narrowed until its ends are adjacent doubles or the sign of f at
// a midpoint cannot be told. Nothing outside the returned enclosures holds a zero. Precision is
// raised only before `deadline`; the first pass always completes.
std::vector<ZeroEnclosure> ZeroEnclosures(double lower, double upper, VerifyClock::time_point deadline);

// For the zero z of a Root enclosure, where the exact real numbers x - d and x + d fall between
// doubles as often as not: the sign of f at them, and at midpoints beyond the doubles, tells
// where z lies, at whatever precision decides it before `deadline`.
// +1 when |z - x| <= d is proven, -1 when |z - x| > d is, 0 when neither could be.
int ZeroWithin(const ZeroEnclosure& zero, double x, double d, VerifyClock::time_point deadline);
// An upper bound on |z - x|, rounded up: the least double at or above |z - x|, unless time ran
// out first or |z - x| lies almost exactly on a double (a larger one then).
double ZeroDistanceBound(const ZeroEnclosure& zero, double x, VerifyClock::time_point deadline);
