// The points a redraw draws, taken from the summary, against those a plain scan of every point
// gives: random point sets with gaps, ties and uneven spacing, in views wider than the points,
// narrower than one spacing, and between.
#include "framework/gui/SeriesSummary.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

struct Point {
    double key, value;
};

PointsView ViewOf(const std::vector<Point>& points)
{
    if (points.empty()) return {};
    return {&points.front().key, &points.front().value, 2, points.size()};
}

bool IsGap(double v) { return !std::isfinite(v); }

// First, lowest, highest and last of [first, last), which holds no gap.
void ScanRun(const std::vector<Point>& points, std::size_t first, std::size_t last, std::vector<std::size_t>& drawn)
{
    std::size_t lowest = first, highest = first;
    for (std::size_t i = first; i < last; ++i) {
        if (points[i].value < points[lowest].value) lowest = i;
        if (points[i].value > points[highest].value) highest = i;
    }
    std::vector<std::size_t> run = {first, lowest, highest, last - 1};
    std::sort(run.begin(), run.end());
    run.erase(std::unique(run.begin(), run.end()), run.end());
    drawn.insert(drawn.end(), run.begin(), run.end());
}

// Every point of [first, last) put in its column by a walk along the column bounds.
std::vector<std::size_t> ScanEveryPoint(const std::vector<Point>& points, std::size_t first, std::size_t last,
                                        double lower, double upper, std::size_t columns)
{
    std::vector<std::size_t> drawn;
    std::size_t bound = 0, columnStart = first;
    const auto columnOf = [&](std::size_t i) {
        while (bound <= columns &&
               lower + (upper - lower) * static_cast<double>(bound) / static_cast<double>(columns) <= points[i].key)
            ++bound;
        return bound;
    };
    for (std::size_t i = first; i < last; ++i) {
        const std::size_t column = columnOf(i);
        if (i + 1 < last && columnOf(i + 1) == column) continue;
        std::size_t firstGap = last, lastGap = last;
        for (std::size_t k = columnStart; k <= i; ++k)
            if (IsGap(points[k].value)) {
                if (firstGap == last) firstGap = k;
                lastGap = k;
            }
        if (firstGap == last) {
            ScanRun(points, columnStart, i + 1, drawn);
        } else {
            if (columnStart < firstGap) ScanRun(points, columnStart, firstGap, drawn);
            drawn.push_back(firstGap);
            if (lastGap != firstGap) drawn.push_back(lastGap);
            if (lastGap < i) ScanRun(points, lastGap + 1, i + 1, drawn);
        }
        columnStart = i + 1;
    }
    return drawn;
}

struct View {
    double lower, upper;
    std::size_t columns;
};

} // namespace

class SeriesSummaryTest : public QObject {
    Q_OBJECT

private slots:
    void columnsDrawWhatEveryPointDraws_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("gapShare");    // of the points, NaN, +inf and -inf in turn
        QTest::addColumn<int>("gapRunAtEnds");   // points that are gaps at both ends
        QTest::addColumn<int>("valueLevels");    // 0: any double; else ordinates of so many values, many equal
        QTest::addColumn<bool>("unevenSpacing"); // spacing varying a thousandfold, some keys repeated
        QTest::newRow("smooth, every level of the summary") << 300'000 << 0.0 << 0 << 0 << false;
        QTest::newRow("equal ordinates everywhere") << 40'000 << 0.0 << 0 << 3 << false;
        QTest::newRow("scattered gaps") << 40'000 << 0.01 << 0 << 0 << false;
        QTest::newRow("many gaps and ties") << 40'000 << 0.3 << 0 << 5 << true;
        QTest::newRow("gap runs at the ends") << 20'000 << 0.0 << 700 << 0 << false;
        QTest::newRow("uneven spacing, repeated keys") << 40'000 << 0.001 << 3 << 0 << true;
        QTest::newRow("only gaps") << 300 << 1.0 << 0 << 0 << false;
        QTest::newRow("three points") << 3 << 0.0 << 0 << 0 << false;
        QTest::newRow("one point, a gap") << 1 << 1.0 << 0 << 0 << false;
    }

    void columnsDrawWhatEveryPointDraws()
    {
        QFETCH(int, count);
        QFETCH(double, gapShare);
        QFETCH(int, gapRunAtEnds);
        QFETCH(int, valueLevels);
        QFETCH(bool, unevenSpacing);
        std::mt19937_64 random(static_cast<std::uint64_t>(count) * 7919 + static_cast<std::uint64_t>(valueLevels));
        std::uniform_real_distribution<double> unit(0, 1);
        const double gaps[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity()};
        std::vector<Point> points(static_cast<std::size_t>(count));
        double key = -3;
        for (std::size_t i = 0; i < points.size(); ++i) {
            if (!unevenSpacing) key += 1e-3;
            else if (unit(random) > 0.05) key += 1e-3 * std::pow(1000, unit(random));
            points[i].key = key;
            points[i].value = valueLevels ? std::floor(unit(random) * valueLevels) : std::sin(key) * 100 + unit(random);
            const bool atEnds =
                static_cast<int>(i) < gapRunAtEnds || static_cast<int>(points.size() - i) <= gapRunAtEnds;
            if (atEnds || unit(random) < gapShare) points[i].value = gaps[i % 3];
        }

        // The summary grows by pieces of every size, as AddXY and AddBlock feed it.
        SeriesSummary summary;
        summary.Reserve(points.size() / 2);
        for (std::size_t arrived = 0; arrived < points.size();) {
            arrived = std::min(points.size(), arrived + 1 + static_cast<std::size_t>(unit(random) * 5000));
            PointsView view = ViewOf(points);
            view.count = arrived;
            summary.Extend(view);
        }

        const double firstKey = points.front().key, lastKey = points.back().key,
                     span = std::max(lastKey - firstKey, 1.0);
        const double spacing = span / static_cast<double>(points.size());
        std::vector<View> views = {
            {firstKey, lastKey, 544},                                    // the full view
            {firstKey - span, lastKey + span, 544},                      // wider than the points
            {firstKey + span / 3, firstKey + span / 2, 544},             // zoomed in
            {firstKey + span / 3, firstKey + span / 3 + spacing / 4, 8}, // narrower than one spacing
            {firstKey + span * 0.9, lastKey + span, 1},                  // one column
            {firstKey, lastKey, points.size() * 3},                      // more columns than points: many empty
            {lastKey + 1, lastKey + 2, 100},                             // beyond the points
        };
        for (int i = 0; i < 20; ++i) {
            const double a = firstKey - span / 10 + unit(random) * span * 1.2,
                         b = a + std::pow(span, unit(random)) * spacing;
            views.push_back({a, b, 1 + static_cast<std::size_t>(unit(random) * 2000)});
        }
        for (const View& view : views) {
            const std::size_t trim = static_cast<std::size_t>(unit(random) * static_cast<double>(points.size()) / 4);
            // The whole series, and a part of it (a redraw is handed the visible points and one on each side).
            for (const auto& [first, last] :
                 {std::pair<std::size_t, std::size_t>{0, points.size()}, {trim, points.size() - trim}}) {
                std::vector<std::size_t> drawn;
                summary.Columns(ViewOf(points), first, last, view.lower, view.upper, view.columns, drawn);
                const std::vector<std::size_t> expected =
                    ScanEveryPoint(points, first, last, view.lower, view.upper, view.columns);
                QVERIFY2(
                    drawn == expected,
                    qPrintable(QString("view [%1, %2] in %3 columns, points [%4, %5): %6 points drawn, %7 expected")
                                   .arg(view.lower)
                                   .arg(view.upper)
                                   .arg(view.columns)
                                   .arg(first)
                                   .arg(last)
                                   .arg(drawn.size())
                                   .arg(expected.size())));
                QVERIFY(drawn.size() <= 10 * (view.columns + 2)); // four a run, two runs and two gaps a column
            }
        }

        // A point put in before the end changes the blocks from its own on.
        const std::size_t changed = points.size() / 3;
        points[changed].value = points.size() % 2 ? gaps[0] : 1e6;
        summary.Forget(changed);
        summary.Extend(ViewOf(points));
        std::vector<std::size_t> drawn;
        summary.Columns(ViewOf(points), 0, points.size(), firstKey, lastKey, 300, drawn);
        QVERIFY(drawn == ScanEveryPoint(points, 0, points.size(), firstKey, lastKey, 300));
    }
};

QTEST_APPLESS_MAIN(SeriesSummaryTest)
#include "SeriesSummaryTest.moc"
