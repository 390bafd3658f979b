#include "ZeroEnclosures.h"

#include <arb.h>

#include <algorithm>
#include <cmath>

// f(x) = e^x / x^3 - sin(x)^3 - 2 and f'(x) = e^x (x - 3) / x^4 - 3 sin(x)^2 cos(x) are
// bounded with Arb's balls, whose every operation rounds outward. Three regions need no
// arithmetic at all:
//   x < 0:        e^x / x^3 < 0 and -sin(x)^3 <= 1, so f < -1;
//   0 < x <= 1/2: e^x / x^3 > 1 / x^3 >= 8, so f > 8 - 1 - 2 > 0 (the pole at 0 is no zero);
//   x >= 7:       e^x / x^3 grows for x > 3 and e^7 / 343 > 3.19, so f > 0.19.
// Only [1/2, 7] is searched.
namespace {

constexpr double kSearchLower = 0.5;
constexpr double kSearchUpper = 7.0;
constexpr slong kFirstPrecision = 64;
constexpr slong kMaxPrecision = 4096;

// One ball, freed on every path.
class Ball {
public:
    Ball() { arb_init(value_); }
    ~Ball() { arb_clear(value_); }
    Ball(const Ball&) = delete;
    Ball& operator=(const Ball&) = delete;
    arb_ptr get() { return value_; }

private:
    arb_t value_;
};

// -1, +1, or 0 when the ball holds zero or is not finite.
int SignOf(const arb_t value)
{
    if (arb_is_positive(value)) return 1;
    if (arb_is_negative(value)) return -1;
    return 0;
}

// Bounds of f and, when `derivative` is given, f' over the ball x.
void Bound(const arb_t x, slong precision, arb_t f, arb_t derivative)
{
    Ball e, x3, s, c, t;
    arb_exp(e.get(), x, precision);
    arb_pow_ui(x3.get(), x, 3, precision);
    arb_sin_cos(s.get(), c.get(), x, precision);
    arb_div(f, e.get(), x3.get(), precision);
    arb_pow_ui(t.get(), s.get(), 3, precision);
    arb_sub(f, f, t.get(), precision);
    arb_sub_ui(f, f, 2, precision);
    if (!derivative) return;
    // e^x (x - 3) / x^4 - 3 sin(x)^2 cos(x)
    Ball x4, g;
    arb_mul(x4.get(), x3.get(), x, precision);
    arb_sub_ui(g.get(), x, 3, precision);
    arb_mul(g.get(), g.get(), e.get(), precision);
    arb_div(derivative, g.get(), x4.get(), precision);
    arb_mul(t.get(), s.get(), s.get(), precision);
    arb_mul(t.get(), t.get(), c.get(), precision);
    arb_mul_ui(t.get(), t.get(), 3, precision);
    arb_sub(derivative, derivative, t.get(), precision);
}

class Search {
public:
    Search(slong precision, VerifyClock::time_point deadline) : precision_(precision), deadline_(deadline) {}

    // Appends the enclosures of [lower, upper] to `out`, in increasing order.
    void Examine(double lower, double upper, std::vector<ZeroEnclosure>& out)
    {
        Ball x, f, derivative;
        SetInterval(x.get(), lower, upper);
        Bound(x.get(), precision_, f.get(), derivative.get());
        if (SignOf(f.get()) != 0) return;
        if (SignOf(derivative.get()) != 0) {
            // f is monotonic here: the signs at the ends decide.
            const int atLower = PointSign(lower), atUpper = PointSign(upper);
            if (atLower != 0 && atLower == atUpper) return;
            if (atLower != 0 && atUpper != 0) {
                out.push_back(Narrowed(lower, upper, atLower));
                return;
            }
        }
        const double middle = lower + (upper - lower) / 2;
        if (!(lower < middle && middle < upper)) {
            out.push_back({lower, upper, EnclosureStatus::Undecided});
            return;
        }
        Examine(lower, middle, out);
        Examine(middle, upper, out);
    }

private:
    void SetInterval(arb_t x, double lower, double upper)
    {
        arf_t a, b;
        arf_init(a);
        arf_init(b);
        arf_set_d(a, lower);
        arf_set_d(b, upper);
        arb_set_interval_arf(x, a, b, precision_);
        arf_clear(a);
        arf_clear(b);
    }

    // The sign of f at the double x, at rising precision while time remains; 0 if untold.
    int PointSign(double x)
    {
        Ball point, f;
        arb_set_d(point.get(), x);
        for (slong precision = precision_;; precision *= 2) {
            Bound(point.get(), precision, f.get(), nullptr);
            if (const int sign = SignOf(f.get())) return sign;
            if (precision >= kMaxPrecision || VerifyClock::now() > deadline_) return 0;
        }
    }

    // [lower, upper] holds exactly one zero and f has the sign `atLower` at lower: halves it while
    // the sign at the midpoint can be told.
    ZeroEnclosure Narrowed(double lower, double upper, int atLower)
    {
        for (;;) {
            const double middle = lower + (upper - lower) / 2;
            if (!(lower < middle && middle < upper)) break;
            const int sign = PointSign(middle);
            if (sign == 0) break;
            (sign == atLower ? lower : upper) = middle;
        }
        return {lower, upper, EnclosureStatus::Root};
    }

    slong precision_;
    VerifyClock::time_point deadline_;
};

// Touching undecided pieces become one.
void MergeUndecided(std::vector<ZeroEnclosure>& pieces)
{
    std::vector<ZeroEnclosure> merged;
    for (const ZeroEnclosure& piece : pieces) {
        if (!merged.empty() && piece.status == EnclosureStatus::Undecided &&
            merged.back().status == EnclosureStatus::Undecided && merged.back().upper == piece.lower)
            merged.back().upper = piece.upper;
        else
            merged.push_back(piece);
    }
    pieces.swap(merged);
}

} // namespace

std::vector<ZeroEnclosure> ZeroEnclosures(double lower, double upper, VerifyClock::time_point deadline)
{
    if (std::isnan(lower) || std::isnan(upper)) return {{lower, upper, EnclosureStatus::Undecided}};
    std::vector<ZeroEnclosure> pieces;
    const double searchLower = std::max(lower, kSearchLower), searchUpper = std::min(upper, kSearchUpper);
    if (!(searchLower <= searchUpper)) return pieces;
    Search(kFirstPrecision, deadline).Examine(searchLower, searchUpper, pieces);
    for (slong precision = 2 * kFirstPrecision; precision <= kMaxPrecision && VerifyClock::now() <= deadline;
         precision *= 2) {
        const bool undecided = std::any_of(pieces.begin(), pieces.end(),
                                           [](const ZeroEnclosure& p) { return p.status == EnclosureStatus::Undecided; });
        if (!undecided) break;
        std::vector<ZeroEnclosure> retried;
        Search search(precision, deadline);
        for (const ZeroEnclosure& piece : pieces) {
            if (piece.status == EnclosureStatus::Undecided)
                search.Examine(piece.lower, piece.upper, retried);
            else
                retried.push_back(piece);
        }
        pieces.swap(retried);
    }
    MergeUndecided(pieces);
    return pieces;
}
