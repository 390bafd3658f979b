// The chart's series: points in ascending x, gaps, blocks, the axes they set, one redraw after
// many points, and the storage's room and memory.
#include "framework/gui/Application.h"
#include "tests/framework/gui/HeapInUse.h"
#include "tests/framework/gui/ShownChart.h"

#include <QBuffer>
#include <QSignalSpy>
#include <QTest>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// Pixels whose colours lie more than a quarter of the way apart (as ImageMagick's 25 % fuzz).
int PixelsDiffering(const QImage& one, const QImage& other)
{
    int differing = 0;
    for (int y = 0; y < one.height(); ++y)
        for (int x = 0; x < one.width(); ++x) {
            const QColor a = one.pixelColor(x, y), b = other.pixelColor(x, y);
            const double distance =
                std::hypot(a.red() - b.red(), a.green() - b.green(), a.blue() - b.blue()) / std::sqrt(3.0);
            differing += distance > 0.25 * 255;
        }
    return differing;
}

// The chart of f over [0.9, 5.1] in `count` points, drawn with every point: the series hidden, the
// points in a plain graph without sampling.
QImage EveryPointDrawn(TChart& chart, int count)
{
    QCPGraph* graph = chart.addGraph();
    graph->setAdaptiveSampling(false);
    graph->setPen(chart.GetSeries(0)->pen());
    chart.GetSeries(0)->setVisible(false);
    for (int i = 0; i < count; ++i) {
        const double x = 0.9 + 4.2 * i / (count - 1);
        graph->addData(x, std::exp(x) / (x * x * x) - std::pow(std::sin(x), 3) - 2);
    }
    chart.rescaleAxes();
    chart.yAxis->scaleRange(1.05);
    const QImage image = chart.Image();
    chart.removeGraph(graph);
    chart.GetSeries(0)->setVisible(true);
    return image;
}

} // namespace

class SeriesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TChart> chart;

    TFastLineSeries* Series() const { return chart->GetSeries(0); }

    // Where the points are stored: the storage moves exactly when it grows.
    const QCPGraphData* Storage() const { return &*Series()->data()->constBegin(); }

private slots:
    void initTestCase() { Application->Initialize(); }

    void init() { QVERIFY(ShowChart(chart)); }

    void cleanup() { chart.reset(); }

    void pointsKeepAscendingXAndNonFiniteOrdinatesBecomeGaps()
    {
        const double inf = std::numeric_limits<double>::infinity();
        const double x[] = {3, 1, 2, 0, 4};
        const double y[] = {inf, -inf, std::nan(""), 5, 6};
        for (int i = 0; i < 5; ++i) Series()->AddXY(x[i], y[i]);
        QCOMPARE(Series()->Count(), 5);
        double key = 0;
        for (const QCPGraphData& point : *Series()->data()) {
            QCOMPARE(point.key, key++);
            const bool finite = point.key == 0 || point.key == 4;
            QVERIFY(finite ? std::isfinite(point.value) : std::isnan(point.value));
        }
        QTRY_COMPARE(chart->yAxis->range().upper >= 6 && chart->yAxis->range().lower <= 5, true);
        QVERIFY(chart->yAxis->range().size() < 10); // scaled to the finite points only

        Series()->Clear();
        QCOMPARE(Series()->Count(), 0);
    }

    void aBlockLeavesWhatItsPointsWouldOneByOne()
    {
        // Into an empty series, rising, back in x, gaps: the block's one pass and its fallbacks.
        const double inf = std::numeric_limits<double>::infinity();
        const double x[] = {1, 2, 3, 2.5, 4, 5, 6};
        const double y[] = {1, inf, 3, 4, std::nan(""), -inf, 7};
        const auto contents = [this] {
            std::vector<std::pair<double, std::uint64_t>> points;
            for (const QCPGraphData& point : *Series()->data())
                points.emplace_back(point.key, std::bit_cast<std::uint64_t>(point.value));
            bool found = false;
            return std::tuple(points, Series()->getKeyRange(found), Series()->getValueRange(found));
        };
        Series()->AddBlock(x, y, 3);
        Series()->AddBlock(x + 3, y + 3, 4);
        const auto inBlocks = contents();
        Series()->Clear();
        for (int i = 0; i < 7; ++i) Series()->AddXY(x[i], y[i]);
        QVERIFY(contents() == inBlocks);
        QCOMPARE(Series()->Count(), 7);
    }

    void axesFollowThePointsOfTheLatestPlot()
    {
        QVERIFY(PlotLine(*chart));
        Series()->Clear();
        for (int x = 100; x <= 110; ++x) Series()->AddXY(x, -x);
        QTRY_COMPARE(chart->xAxis->range(), QCPRange(100, 110));
        QVERIFY(chart->yAxis->range().contains(-110) && chart->yAxis->range().contains(-100));
        QVERIFY(chart->yAxis->range().size() < 20);
    }

    void storageHoldsAtMost32BytesAPoint()
    {
        if (HeapInUse() < 0) QSKIP("this C library does not tell how much of its heap is in use");
        // Measured right after each growth of the storage, its worst moment, up to a size where
        // malloc maps blocks of their own and realloc moves them.
        const double before = HeapInUse();
        const QCPGraphData* storage = nullptr;
        int growths = 0;
        for (int i = 0; i < 5'000'000; ++i) {
            Series()->AddXY(i, i % 7);
            if (Storage() == storage) continue;
            storage = Storage();
            if (++growths == 1) continue; // the first block is a fixed cost
            const double bytesPerPoint = (HeapInUse() - before) / Series()->Count();
            QVERIFY2(bytesPerPoint <= 32,
                     qPrintable(QString("%1 bytes a point at %2 points").arg(bytesPerPoint).arg(i + 1)));
        }
        QVERIFY(growths > 20);
    }

    void manyPointsRedrawOnceAfterwards()
    {
        QSignalSpy replots(chart.get(), &QCustomPlot::afterReplot);
        for (int i = 0; i < 10000; ++i) Series()->AddXY(i, std::sin(i / 100.0));
        QCOMPARE(replots.count(), 0);
        QTRY_COMPARE(replots.count(), 1);
        QTest::qWait(50);
        QCOMPARE(replots.count(), 1);
        QCOMPARE(chart->xAxis->range(), QCPRange(0, 9999));
    }

    void manyPointsLookAsEveryPointDrawn()
    {
        constexpr int kPoints = 1'000'000;
        const QImage everyPoint = EveryPointDrawn(*chart, kPoints);
        const int betweenTwoRuns = PixelsDiffering(everyPoint, EveryPointDrawn(*chart, kPoints / 10));
        for (int i = 0; i < kPoints; ++i) {
            const double x = 0.9 + 4.2 * i / (kPoints - 1);
            Series()->AddXY(x, std::exp(x) / (x * x * x) - std::pow(std::sin(x), 3) - 2);
        }
        chart->Redraw();
        const int differing = PixelsDiffering(everyPoint, chart->Image());
        qInfo("pixels differing: %d from every point drawn; %d between every point of %d and of %d", differing,
              betweenTwoRuns, kPoints, kPoints / 10);
        QVERIFY(differing <= std::max(betweenTwoRuns, 50));
        // A vector picture holds the few points drawn, not the million.
        QBuffer svg;
        svg.open(QIODevice::WriteOnly);
        if (TChart::WritesSvg()) QVERIFY(chart->WriteImage(svg, ChartFormat::Svg) && svg.size() < 200'000);
    }

    void reservedRoomIsTakenOnceAndReturnedByClear()
    {
        constexpr int kPoints = 100'000;
        const double before = HeapInUse();
        Series()->Reserve(kPoints);
        Series()->AddXY(0, 0);
        const QCPGraphData* storage = Storage();
        for (int i = 1; i < kPoints; ++i) Series()->AddXY(i, i % 7);
        QCOMPARE(Storage(), storage);
        if (before >= 0) QVERIFY(HeapInUse() - before <= 16.5 * kPoints); // the points and their summary
        Series()->AddXY(kPoints, 0); // the room was for kPoints exactly: one more moves the points
        QVERIFY(Storage() != storage);
        Series()->Clear();
        if (before >= 0) QVERIFY(HeapInUse() - before < kPoints * sizeof(QCPGraphData) / 2);
    }
};

QTEST_MAIN(SeriesTest)
#include "SeriesTest.moc"
