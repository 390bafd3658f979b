#include "core/ZeroEnclosures.h"

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
// A distance is known to the last bit of its double after some 30 halvings in a real run; only one
// lying almost exactly on a double needs more, and its bound may then be the double above.
constexpr int kMaxDistanceHalvings = 300;

// Whether a step at twice the precision may start, the last one having taken `last`: the doubled
// one is expected to take at most four times as long, and must end before the deadline.
bool MayDouble(VerifyClock::duration last, VerifyClock::time_point deadline)
{
    return VerifyClock::now() + 4 * last <= deadline;
}

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

// One number held exactly, freed on every path.
class Exact {
public:
    Exact() { arf_init(value_); }
    explicit Exact(double value) : Exact() { arf_set_d(value_, value); }
    ~Exact() { arf_clear(value_); }
    Exact(const Exact&) = delete;
    Exact& operator=(const Exact&) = delete;
    arf_ptr get() { return value_; }
    arf_srcptr get() const { return value_; }

private:
    arf_t value_;
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

// The sign of f at the point x, raising `precision` while it cannot be told and time allows; 0
// if untold. `precision` is left at what told it, for a caller's next point nearby.
int SignAt(const arb_t x, slong& precision, VerifyClock::time_point deadline)
{
    Ball f;
    for (;;) {
        const auto start = VerifyClock::now();
        Bound(x, precision, f.get(), nullptr);
        if (const int sign = SignOf(f.get())) return sign;
        if (!MayDouble(VerifyClock::now() - start, deadline)) return 0;
        precision *= 2;
    }
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
        const Exact a(lower), b(upper);
        arb_set_interval_arf(x, a.get(), b.get(), precision_);
    }

    // The sign of f at the double x, at rising precision while time remains; 0 if untold.
    int PointSign(double x)
    {
        Ball point;
        arb_set_d(point.get(), x);
        slong precision = precision_;
        return SignAt(point.get(), precision, deadline_);
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

// The zero of a Root enclosure between two exact ends, which the sign of f at exact points
// between them moves closer, past the doubles.
class ExactZero {
public:
    ExactZero(const ZeroEnclosure& zero, VerifyClock::time_point deadline)
        : lower_(zero.lower), upper_(zero.upper), deadline_(deadline)
    {
    }

    const Exact& Lower() const { return lower_; }
    const Exact& Upper() const { return upper_; }
    // Whether p lies strictly between the ends.
    bool Holds(const arf_t p) const { return arf_cmp(lower_.get(), p) < 0 && arf_cmp(p, upper_.get()) < 0; }

    // For a p that Holds: moves the end on p's side of the zero to p; false when the sign of f
    // there (or at the lower end, the first time) cannot be told.
    bool CutAt(const arf_t p)
    {
        if (lowerSign_ == 0) lowerSign_ = SignAt(lower_.get());
        const int sign = lowerSign_ == 0 ? 0 : SignAt(p);
        if (sign == 0) return false;
        arf_set(sign == lowerSign_ ? lower_.get() : upper_.get(), p);
        return true;
    }

private:
    int SignAt(const arf_t p)
    {
        Ball point;
        arb_set_arf(point.get(), p);
        return ::SignAt(point.get(), precision_, deadline_);
    }

    Exact lower_, upper_;
    VerifyClock::time_point deadline_;
    slong precision_ = kFirstPrecision;
    int lowerSign_ = 0; // f's sign at the first lower end, once asked; the zero is where it changes
};

// Touching undecided pieces become one.
void MergeUndecided(std::vector<ZeroEnclosure>& pieces)
{
    std::vector<ZeroEnclosure> merged;
    for (const ZeroEnclosure& piece : pieces) {
        if (!merged.empty() && piece.status == EnclosureStatus::Undecided &&
            merged.back().status == EnclosureStatus::Undecided && merged.back().upper == piece.lower)
            merged.back().upper = piece.upper;
        else merged.push_back(piece);
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
    auto roundStart = VerifyClock::now();
    Search(kFirstPrecision, deadline).Examine(searchLower, searchUpper, pieces);
    for (slong precision = 2 * kFirstPrecision;; precision *= 2) {
        const bool undecided = std::any_of(pieces.begin(), pieces.end(), [](const ZeroEnclosure& p) {
            return p.status == EnclosureStatus::Undecided;
        });
        if (!undecided || !MayDouble(VerifyClock::now() - roundStart, deadline)) break;
        roundStart = VerifyClock::now();
        std::vector<ZeroEnclosure> retried;
        Search search(precision, deadline);
        for (const ZeroEnclosure& piece : pieces) {
            if (piece.status == EnclosureStatus::Undecided) search.Examine(piece.lower, piece.upper, retried);
            else retried.push_back(piece);
        }
        pieces.swap(retried);
    }
    MergeUndecided(pieces);
    return pieces;
}

int ZeroWithin(const ZeroEnclosure& zero, double x, double d, VerifyClock::time_point deadline)
{
    Exact low, high, point(x), distance(d);
    arf_sub(low.get(), point.get(), distance.get(), ARF_PREC_EXACT, ARF_RND_DOWN);
    arf_add(high.get(), point.get(), distance.get(), ARF_PREC_EXACT, ARF_RND_DOWN);
    // Cut at the window's ends that fall inside the enclosure: it then lies on one side of each.
    ExactZero z(zero, deadline);
    for (const Exact* end : {&low, &high})
        if (z.Holds(end->get()) && !z.CutAt(end->get())) return 0;
    // f is not 0 at the ends of the enclosure, so the zero lies strictly inside it.
    if (arf_cmp(z.Upper().get(), low.get()) <= 0 || arf_cmp(high.get(), z.Lower().get()) <= 0) return -1;
    return 1;
}

double ZeroDistanceBound(const ZeroEnclosure& zero, double x, VerifyClock::time_point deadline)
{
    ExactZero z(zero, deadline);
    Exact point(x), toLower, toUpper, middle;
    for (int halvings = 0;; ++halvings) {
        // |z - x| lies between the ends' distances from x, or below the farther where x lies between them.
        arf_sub(toLower.get(), z.Lower().get(), point.get(), ARF_PREC_EXACT, ARF_RND_DOWN);
        arf_sub(toUpper.get(), z.Upper().get(), point.get(), ARF_PREC_EXACT, ARF_RND_DOWN);
        arf_abs(toLower.get(), toLower.get());
        arf_abs(toUpper.get(), toUpper.get());
        const bool xBetween = arf_cmp(z.Lower().get(), point.get()) <= 0 && arf_cmp(point.get(), z.Upper().get()) <= 0;
        const double farther = std::max(arf_get_d(toLower.get(), ARF_RND_UP), arf_get_d(toUpper.get(), ARF_RND_UP));
        const double nearer =
            xBetween ? 0.0 : std::min(arf_get_d(toLower.get(), ARF_RND_UP), arf_get_d(toUpper.get(), ARF_RND_UP));
        if (nearer == farther || halvings == kMaxDistanceHalvings) return farther;
        arf_add(middle.get(), z.Lower().get(), z.Upper().get(), ARF_PREC_EXACT, ARF_RND_DOWN);
        arf_mul_2exp_si(middle.get(), middle.get(), -1);
        if (!z.CutAt(middle.get())) return farther;
    }
}
