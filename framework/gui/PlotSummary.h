#pragma once
// What the chart tells a screen reader of its points: their number, extent, where f is not finite
// and where it changes sign, gathered in one pass over the points and spoken as one sentence.
#include <qcustomplot.h>

#include <QString>

#include <cstddef>
#include <vector>

struct PlotSummary {
    struct Span {
        double from, to; // abscissae of the first and the last point of the span
    };

    std::size_t points = 0;
    double firstX = 0, lastX = 0;
    bool anyFinite = false;
    double lowestF = 0, highestF = 0; // over the finite ordinates
    std::vector<Span> notFinite;      // runs of neighbouring points whose ordinate is not finite
    // Index i of each neighbouring pair (i, i + 1) whose ordinates have strictly opposite signs,
    // infinities counted with their sign, as the scan tests its steps.
    std::vector<std::size_t> signChanges;
    std::vector<Span> signChangeSpans; // the abscissae of those pairs
};

// One pass over the points, stored as the series stores them (a gap for a non-finite ordinate).
PlotSummary SummarizePlot(const QCPGraphDataContainer& points);

// The sentence: numbers as the read-out writes them, lists cut after a few entries.
QString SummaryText(const PlotSummary& summary);

// A number as the chart's read-out and summary write it: ten significant digits, the locale's
// decimal separator, INF and NAN as the report names them.
QString ChartNumber(double value);
