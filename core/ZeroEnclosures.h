#pragma once
// Every zero of f on an interval, each proven inside an enclosure by ball arithmetic. A piece on
// which the bound of f keeps one sign holds no zero; one on which the bound of f' keeps one sign
// and f has opposite signs at the ends holds exactly one; any other piece is halved. Pieces left
// undecided are tried again at twice the working precision while time remains.
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
