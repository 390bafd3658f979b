#include "core/CalculationRun.h"

#include "core/EvaluateBlock.h"
#include "core/ExactArithmetic.h"
#include "core/SecantRoot.h"
#include "framework/base/Conversions.h"
#include "framework/base/Exception.h"
#include "os/Compiler.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>

namespace {

const std::string kFunctionHeader = " Функция e^x / x^3 - sin(x)^3 - 2";
const std::string kRootsHeader = "------ Корни ------";
const std::string kNoRoots = "На отрезке корней НЕТ!";

// Abscissae evaluated together: enough to keep the vector units busy, few enough for the cache.
constexpr std::size_t kBlock = 256;

// The plot runs while x is below b + h, a sum rounded to a 64-bit significand (the x87 extended
// format) and never to a double, so an abscissa that has crept just below the exact sum is
// plotted. Every test compares with the same sum, so it is formed once per loop.
ExtendedSum PlotBound(const CalculationInputs& in) { return ExtendedSum(in.b, in.h); }

// The scan's sign test: f1 * f2 < 0 with a product that can neither overflow nor underflow,
// i.e. strictly opposite signs; a zero or a NaN is no sign change.
bool StrictlyOppositeSigns(double f1, double f2) { return (f1 < 0 && f2 > 0) || (f1 > 0 && f2 < 0); }

// The step that repeated addition of h takes from x on for `count` abscissae, where it is one and
// the same: beside x (in its binade) doubles are spaced alike, and x + h rounds to x plus the
// multiple of that spacing nearest h, whatever x is there, unless h lies halfway between two such
// multiples (then the sum's last bit decides). So while the sums stay beside x, and above the
// binade's lowest double where x is negative (the spacing halves below it), the k-th abscissa is
// x + k step, exactly. 0 where that does not hold: the abscissae are then added one by one.
double SteadyStep(double x, double h, std::size_t count)
{
    const auto bits = std::bit_cast<std::uint64_t>(x);
    const unsigned exponentField = bits >> 52 & 0x7ff;
    if (exponentField < 53 || exponentField == 0x7ff) return 0; // a spacing below the normal range, or x not finite
    const double spacing = std::bit_cast<double>(std::uint64_t{exponentField - 52} << 52);
    const double step = (x + h) - x; // exact where the sum stays beside x, as `last` tells
    const auto last = std::bit_cast<std::uint64_t>(x + static_cast<double>(count - 1) * step);
    if (!(step > 0) || last >> 52 != bits >> 52) return 0;
    if (x < 0 && (last & ((std::uint64_t{1} << 52) - 1)) == 0) return 0;
    if (std::fabs(h - step) == spacing / 2) return 0; // exact: h and step are within a factor of 2
    return step;
}

// Fills xs with up to kBlock abscissae from x on, each the double sum of the one before and h,
// while `within` holds for it; leaves x at the first one not taken. With xs null they are only
// counted, by the same arithmetic. An x that adding h leaves where it is ends the block before
// it, untaken: a block short of kBlock whose x still satisfies `within` has stalled there.
// Kept out of line, where the running sum stays in a register: inlined into the run's loops, it
// is spilled to memory, a store and a load on every addition's path.
template <class Condition>
ROOTFINDER_NOINLINE std::size_t NextAbscissae(double& x, double h, double* xs, Condition within)
{
    if (const double step = SteadyStep(x, h, kBlock)) {
        const double start = x;
        const auto at = [&](std::size_t k) { return start + static_cast<double>(k) * step; };
        if (xs)
            for (std::size_t k = 0; k < kBlock; ++k) xs[k] = at(k);
        if (const double last = at(kBlock - 1); within(last)) { // the abscissae rise, so all are taken
            x = last + h;
            return kBlock;
        }
        std::size_t n = 0;
        while (within(at(n))) ++n;
        x = at(n);
        return n;
    }
    std::size_t n = 0;
    double next = x;
    for (; n < kBlock && within(next); ++n) {
        const double after = next + h;
        if (after == next) break;
        if (xs) xs[n] = next;
        next = after;
    }
    x = next;
    return n;
}

// The plot's abscissae, from a - h on while below b + h, handed a block at a time to `take(n)`,
// the block in xs (unless xs is null). The check counts them with this walk and the run plots
// them with it, so the count is the run's by construction. Returns the abscissa at which adding h
// changes nothing, if the walk meets one (it would never end there), without taking it.
template <class Take>
std::optional<double> WalkPlot(const CalculationInputs& in, double* xs, Take take)
{
    const ExtendedSum plotBound = PlotBound(in);
    const auto plotted = [&](double next) { return plotBound.Exceeds(next); };
    double x = in.a - in.h;
    for (std::size_t n = kBlock; n == kBlock;) {
        n = NextAbscissae(x, in.h, xs, plotted);
        take(n);
        if (n < kBlock && plotted(x)) return x;
    }
    return std::nullopt;
}

[[noreturn]] void RaiseStepTooSmall(double h, double x)
{
    throw Exception("Шаг h = " + NumberText(h) + " слишком мал: при x = " + NumberText(x) +
                    " сумма x + h равна x. Увеличьте шаг h.");
}

// Whether the significand of a number's text has a digit other than 0.
bool HasNonzeroSignificand(std::string_view text)
{
    const auto significand = text.substr(0, text.find_first_of("eE"));
    return significand.find_first_of("123456789") != std::string_view::npos;
}

// Converts one input text; an error names the field it came from. A step or a tolerance too small
// for a double (1e-99999) is out of range, as one too large is, not the zero it would round to.
double ParseField(const char* field, std::string_view text, bool positive = false)
{
    try {
        const double value = StrToFloat(text);
        if (positive && value == 0 && HasNonzeroSignificand(text))
            throw EConvertError(QuoteForMessage(text) + " — число вне допустимого диапазона");
        return value;
    } catch (const EConvertError& error) {
        throw EConvertError("Поле " + std::string(field) + ": " + error.Message);
    }
}

} // namespace

CalculationInputs ParseInputs(std::string_view a, std::string_view b, std::string_view h, std::string_view eps)
{
    CalculationInputs inputs{};
    inputs.a = ParseField("a", a);
    inputs.b = ParseField("b", b);
    inputs.h = ParseField("h", h, true);
    inputs.eps = ParseField("EPS", eps, true);
    return inputs;
}

std::size_t CheckInputs(const CalculationInputs& in)
{
    if (!std::isfinite(in.a) || !std::isfinite(in.b))
        throw Exception("Границы отрезка a и b должны быть конечными числами.");
    if (!(in.h > 0) || !std::isfinite(in.h))
        throw Exception("Шаг h должен быть положительным конечным числом, а не " + NumberText(in.h) + ".");
    if (!(in.eps > 0) || !std::isfinite(in.eps))
        throw Exception("Точность EPS должна быть положительным конечным числом, а не " + NumberText(in.eps) + ".");
    // The plot runs from a - h to b + h: an end beyond the range of doubles cannot be reached.
    if (std::isinf(in.a - in.h))
        throw Exception("Начало графика a - h (a = " + NumberText(in.a) + ", h = " + NumberText(in.h) +
                        ") выходит за пределы диапазона чисел. Уменьшите шаг h или |a|.");
    if (std::isinf(in.b + in.h))
        throw Exception("Конец графика b + h (b = " + NumberText(in.b) + ", h = " + NumberText(in.h) +
                        ") выходит за пределы диапазона чисел. Уменьшите шаг h или |b|.");

    // Count the plot's abscissae as the run will walk them, which finds any x at which adding h
    // changes nothing. The scan walks [a, b] inside the same range, which is empty only when a = b
    // and h vanishes even beside b in extended precision.
    std::size_t points = 0;
    const auto count = [&points](std::size_t n) {
        if (n > kMaxPlotPoints - points)
            throw Exception("Слишком много точек графика: больше " + IntToStr(kMaxPlotPoints) +
                            ". Увеличьте шаг h или сократите отрезок [a; b].");
        points += n;
    };
    if (const std::optional<double> stalled = WalkPlot(in, nullptr, count)) {
        count(1); // the abscissa that does not advance is a point too: too many of them is said first
        RaiseStepTooSmall(in.h, *stalled);
    }
    if (in.a <= in.b && in.a + in.h == in.a) RaiseStepTooSmall(in.h, in.a);
    return points;
}

void CalculationRun(const CalculationInputs& in, ReportSink& report, PlotSink& plot, RootSink* roots)
{
    const std::size_t plotPoints = CheckInputs(in);

    report.Add(kFunctionHeader);
    plot.Clear();
    plot.Reserve(plotPoints);
    // f is evaluated a block of abscissae at a time; the abscissae accumulate by repeated addition,
    // each sum stored as a double, and reach the sink in their order.
    // Blocks on cache lines, so that no vector load or store of the kernels straddles two (with
    // AVX-512, unaligned blocks cost a run 5%).
    alignas(64) double xs[kBlock], ys[kBlock];
    WalkPlot(in, xs, [&](std::size_t n) {
        EvaluateBlock(xs, ys, n);
        plot.AddBlock(xs, ys, n);
    });

    report.Add(kRootsHeader);
    long long rootCount = 0;
    alignas(64) double lefts[kBlock], rights[kBlock], fLefts[kBlock], fRights[kBlock];
    double x = in.a;
    for (bool more = true; more;) {
        const std::size_t n = NextAbscissae(x, in.h, lefts, [&](double next) { return next <= in.b; });
        for (std::size_t i = 0; i < n; ++i) rights[i] = lefts[i] + in.h; // x + h, formed afresh
        more = n == kBlock;
        // Both ends of every interval are evaluated afresh: nothing is carried to the next one.
        EvaluateBlock(lefts, fLefts, n);
        EvaluateBlock(rights, fRights, n);
        for (std::size_t i = 0; i < n; ++i) {
            if (!StrictlyOppositeSigns(fLefts[i], fRights[i])) continue;
            ++rootCount;
            const SecantResult refined = SecantRoot(lefts[i], rights[i], in.eps);
            report.Add(IntToStr(rootCount) + "-й = " + RootText(refined.root));
            if (roots) roots->Add({rootCount, lefts[i], rights[i], refined.root, refined.fRoot, refined.updates});
        }
    }
    if (rootCount == 0) report.Add(kNoRoots);
}

std::string RootText(double root) { return FloatToStrF(root, ffFixed, 8, 6); }

void CalculationRun(std::string_view a, std::string_view b, std::string_view h, std::string_view eps,
                    ReportSink& report, PlotSink& plot, RootSink* roots)
{
    CalculationRun(ParseInputs(a, b, h, eps), report, plot, roots);
}
