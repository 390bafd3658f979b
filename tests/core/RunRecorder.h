#pragma once
// Test support: sinks that record everything a calculation run hands them, in order, and
// comparisons of doubles against values given to 12 significant digits.
#include "core/CalculationRun.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

inline const std::string kFunctionHeader = " Функция e^x / x^3 - sin(x)^3 - 2";
inline const std::string kRootsHeader = "------ Корни ------";
inline const std::string kNoRoots = "На отрезке корней НЕТ!";

struct RunEvent {
    enum Kind { Line, Clear, Point } kind;
    std::string line;      // Line
    PlotPoint point{0, 0}; // Point
};

// One log, two sinks writing into it: the order between lines and plot calls is kept.
class RunRecorder {
public:
    std::vector<RunEvent> events;

    ReportSink& Report() { return report_; }
    PlotSink& Plot() { return plot_; }

    std::vector<std::string> Lines() const
    {
        std::vector<std::string> lines;
        for (const auto& event : events)
            if (event.kind == RunEvent::Line) lines.push_back(event.line);
        return lines;
    }
    // The points after the last clear: what a chart bound to the plot sink shows.
    std::vector<PlotPoint> Points() const
    {
        std::vector<PlotPoint> points;
        for (const auto& event : events) {
            if (event.kind == RunEvent::Clear) points.clear();
            if (event.kind == RunEvent::Point) points.push_back(event.point);
        }
        return points;
    }
    std::vector<double> Abscissae() const
    {
        std::vector<double> xs;
        for (const auto& point : Points()) xs.push_back(point.x);
        return xs;
    }
    int Clears() const
    {
        int clears = 0;
        for (const auto& event : events) clears += event.kind == RunEvent::Clear;
        return clears;
    }

private:
    class ReportPart final : public ReportSink {
    public:
        explicit ReportPart(RunRecorder& owner) : owner_(owner) {}
        void Add(const std::string& line) override { owner_.events.push_back({RunEvent::Line, line}); }

    private:
        RunRecorder& owner_;
    };
    class PlotPart final : public PlotSink {
    public:
        explicit PlotPart(RunRecorder& owner) : owner_(owner) {}
        void Clear() override { owner_.events.push_back({RunEvent::Clear, {}}); }
        void Add(PlotPoint point) override { owner_.events.push_back({RunEvent::Point, {}, point}); }

    private:
        RunRecorder& owner_;
    };

    ReportPart report_{*this};
    PlotPart plot_{*this};
};

// A run's inputs as a failing test names them.
inline void PrintTo(const CalculationInputs& in, std::ostream* os)
{
    *os << "a = " << in.a << ", b = " << in.b << ", h = " << in.h << ", eps = " << in.eps;
}

// The values given to 12 significant digits are compared with this relative tolerance.
inline constexpr double kTwelveDigitsTolerance = 1e-11;

inline testing::AssertionResult RelativelyNear(double actual, double expected,
                                               double tolerance = kTwelveDigitsTolerance)
{
    if (std::fabs(actual - expected) <= tolerance * std::fabs(expected)) return testing::AssertionSuccess();
    return testing::AssertionFailure() << testing::PrintToString(actual) << " differs from " << expected
                                       << " by more than a relative " << tolerance;
}

// The same double: the same bits, or both NaN.
inline testing::AssertionResult SameDouble(double actual, double expected)
{
    if (std::bit_cast<std::uint64_t>(actual) == std::bit_cast<std::uint64_t>(expected) ||
        (std::isnan(actual) && std::isnan(expected)))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << std::hexfloat << actual << " is not " << expected;
}

inline std::uint64_t Bits(double value) { return std::bit_cast<std::uint64_t>(value); }

// True when the text holds a Cyrillic letter (U+0400..U+04FF in UTF-8).
inline bool HasCyrillic(const std::string& text)
{
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const auto next = static_cast<unsigned char>(text[i + 1]);
        if ((lead == 0xD0 || lead == 0xD1 || lead == 0xD2 || lead == 0xD3) && next >= 0x80 && next <= 0xBF) return true;
    }
    return false;
}
