// libFuzzer target over StrToFloat and CalculationRun.
//
// The build keeps kMaxPlotPoints small: a run over it is refused, as any over the budget is.
//
// The whole input is one text for StrToFloat; split at its first three newlines it is also
// the four input texts (a, b, h, eps) of a calculation run. Every invariant below aborts
// when broken, and an exception outside the Exception family escapes, which libFuzzer
// reports as a crash as well.
#include "core/CalculationRun.h"
#include "core/EvaluateBlock.h"
#include "framework/base/Conversions.h"
#include "framework/base/Exception.h"
#include "tests/core/ExactSumOracle.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <clocale>
#include <cstdlib>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

namespace {

[[noreturn]] void Broken(const char* invariant, std::string_view input)
{
    std::fprintf(stderr, "invariant broken: %s\ninput: \"%.*s\"\n", invariant, static_cast<int>(input.size()),
                 input.data());
    std::abort();
}

#define CHECK(condition, input)                                                                                        \
    do {                                                                                                               \
        if (!(condition)) Broken(#condition, input);                                                                   \
    } while (false)

bool SameBits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

// f at x as the run's block evaluation gives it: each value alike, wherever it falls in a block.
double BlockValue(double x)
{
    double y = 0;
    EvaluateBlock(&x, &y, 1);
    return y;
}

// ---------------------------------------------------------------------------------------
// StrToFloat against an independent reading: the grammar as a regular expression, the
// value from strtod in the C locale.

const std::regex& NumberGrammar()
{
    static const std::regex grammar(
        R"([ \t\n\r\v\f]*[+-]?([0-9]+([.,][0-9]*)?|[.,][0-9]+)([eE][+-]?[0-9]+)?[ \t\n\r\v\f]*)",
        std::regex::ECMAScript | std::regex::optimize);
    return grammar;
}

double ReferenceValue(const std::string& text)
{
    std::string c = text;
    for (char& ch : c)
        if (ch == ',') ch = '.';
    return std::strtod(c.c_str(), nullptr); // the fuzzer runs in the C locale
}

void CheckFixed(double value, const std::string& text, std::string_view input)
{
    CHECK(!text.empty(), input);
    if (text.find('E') != std::string::npos) {
        CHECK(std::fabs(value) >= 99999999.5, input);
        return;
    }
    const auto dot = text.find('.');
    CHECK(dot != std::string::npos && text.size() - dot - 1 == 6, input);
    int significant = 0, trailingZeros = 0;
    bool started = false;
    for (char c : text) {
        if (c < '0' || c > '9') continue;
        started = started || c != '0';
        if (!started) continue;
        ++significant;
        trailingZeros = c == '0' ? trailingZeros + 1 : 0;
    }
    CHECK(significant - trailingZeros <= 8, input);
    const double back = StrToFloat(text);
    const double magnitude = std::fabs(value);
    const double digitsBeforePoint = magnitude < 1 ? 1 : std::floor(std::log10(magnitude)) + 1;
    const double halfUnit = 0.5 * std::max(1e-6, std::pow(10.0, digitsBeforePoint - 8));
    // Half a unit of the last digit kept, plus the error of reading that text back as a double.
    const double ulp = std::fabs(std::nextafter(back, INFINITY) - back);
    CHECK(std::fabs(back - value) <= halfUnit + 2 * ulp, input);
}

void CheckStrToFloat(std::string_view input)
{
    const std::string text(input);
    const bool grammatical = std::regex_match(text, NumberGrammar());
    double value = 0;
    try {
        value = StrToFloat(input);
    } catch (const EConvertError& error) {
        // The text is quoted as a reader can see it: cut, and escaped where it does not print.
        CHECK(error.Message.find(QuoteForMessage(text)) != std::string::npos, input);
        CHECK(error.Message.size() < 800, input); // however long the text
        // Only a text outside the grammar, or beyond the double range, is refused.
        CHECK(!grammatical || std::isinf(ReferenceValue(text)), input);
        return;
    }
    CHECK(grammatical, input);
    CHECK(std::isfinite(value), input);
    CHECK(SameBits(value, ReferenceValue(text)), input);
    // The shortest text reads back to the same double; the fixed form keeps its promises.
    CHECK(SameBits(StrToFloat(FloatToStrF(value, ffGeneral, 17, 0)), value), input);
    CheckFixed(value, FloatToStrF(value, ffFixed, 8, 6), input);
}

// ---------------------------------------------------------------------------------------
// CalculationRun against the definition of its output.

struct Event {
    enum Kind { Line, Clear, Point } kind;
    std::string line;
    PlotPoint point{0, 0};
};

struct Recorder final : ReportSink, PlotSink {
    std::vector<Event> events;
    void Add(const std::string& line) override { events.push_back({Event::Line, line}); }
    void Clear() override { events.push_back({Event::Clear, {}}); }
    void Add(PlotPoint point) override { events.push_back({Event::Point, {}, point}); }
};

const std::string kFunctionHeader = " Функция e^x / x^3 - sin(x)^3 - 2";
const std::string kRootsHeader = "------ Корни ------";
const std::string kNoRoots = "На отрезке корней НЕТ!";

// The events of a run that got past its checks: the function header, a clear, exactly the
// expected points, then (if the scan was reached) the roots header and numbered root lines,
// and the no-roots line only after a complete run without roots.
void CheckEvents(const std::vector<Event>& events, const std::vector<double>& xs, bool complete, std::string_view input)
{
    CHECK(events.size() >= 2 && events[0].kind == Event::Line && events[0].line == kFunctionHeader, input);
    CHECK(events[1].kind == Event::Clear, input);
    CHECK(events.size() >= 2 + xs.size(), input);
    for (std::size_t i = 0; i < xs.size(); ++i) {
        const Event& e = events[2 + i];
        CHECK(e.kind == Event::Point, input);
        CHECK(SameBits(e.point.x, xs[i]), input);
        CHECK(SameBits(e.point.y, BlockValue(xs[i])), input);
    }
    std::size_t next = 2 + xs.size();
    // The scan raises only from a refinement, after the roots header.
    CHECK(next < events.size() && events[next].kind == Event::Line && events[next].line == kRootsHeader, input);
    ++next;
    long long roots = 0;
    for (; next < events.size(); ++next) {
        const Event& e = events[next];
        CHECK(e.kind == Event::Line, input);
        if (e.line == kNoRoots) break;
        const std::string prefix = std::to_string(++roots) + "-й = ";
        CHECK(e.line.compare(0, prefix.size(), prefix) == 0 && e.line.size() > prefix.size(), input);
    }
    if (complete) {
        CHECK(roots > 0 ? next == events.size() : next + 1 == events.size(), input);
    } else {
        CHECK(next == events.size(), input); // no no-roots line after an error
    }
}

void CheckRun(std::string_view input)
{
    std::array<std::string_view, 4> texts{};
    std::string_view rest = input;
    for (std::size_t i = 0; i < 3; ++i) {
        const auto newline = rest.find('\n');
        texts[i] = rest.substr(0, newline);
        rest = newline == std::string_view::npos ? std::string_view{} : rest.substr(newline + 1);
    }
    texts[3] = rest;

    Recorder recorder;
    CalculationInputs in{};
    try {
        in = ParseInputs(texts[0], texts[1], texts[2], texts[3]);
    } catch (const EConvertError&) {
        // The run converts all four texts before it appends anything.
        try {
            CalculationRun(texts[0], texts[1], texts[2], texts[3], recorder, recorder);
        } catch (const EConvertError&) {
            CHECK(recorder.events.empty(), input);
            return;
        }
        Broken("a text that ParseInputs refuses is accepted by CalculationRun", input);
    }

    // The plot's abscissae, as defined, with the checks a run must refuse.
    bool refused = !std::isfinite(in.a) || !std::isfinite(in.b) || !(in.h > 0) || !std::isfinite(in.h) ||
                   !(in.eps > 0) || !std::isfinite(in.eps);
    std::vector<double> xs;
    if (!refused) {
        for (double x = in.a - in.h; ExactRoundedSumExceeds(in.b, in.h, x); x = x + in.h) {
            if (xs.size() == kMaxPlotPoints) { // over the budget, which this build keeps small
                refused = true;
                break;
            }
            xs.push_back(x);
            if (x + in.h == x) {
                refused = true; // h does not advance x here
                break;
            }
        }
        // With an empty plot range the scan's single abscissa must still advance.
        if (in.a <= in.b && in.a + in.h == in.a) refused = true;
    }

    try {
        CalculationRun(texts[0], texts[1], texts[2], texts[3], recorder, recorder);
    } catch (const EConvertError&) {
        Broken("the texts converted once but not twice", input);
    } catch (const Exception& error) {
        CHECK(!error.Message.empty(), input);
        if (refused) {
            CHECK(recorder.events.empty(), input);
            return;
        }
        CheckEvents(recorder.events, xs, false, input);
        return;
    }
    CHECK(!refused, input);
    CheckEvents(recorder.events, xs, true, input);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    CheckStrToFloat(input);
    CheckRun(input);
    return 0;
}
