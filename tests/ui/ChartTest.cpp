// The chart and its series: points, gaps, redrawing, the settings a form description makes,
// and the mouse interactions.
#include "Application.h"
#include "Chart.h"

#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <limits>
#include <memory>

#ifdef __GLIBC__
#include <malloc.h>
#endif

class ChartTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TChart> chart;

    TFastLineSeries* Series() const { return chart->GetSeries(0); }

    // y = x on [0, 10], drawn.
    void PlotLine()
    {
        for (int x = 0; x <= 10; ++x) Series()->AddXY(x, x);
        QTRY_COMPARE(chart->xAxis->range(), QCPRange(0, 10));
    }

private slots:
    void initTestCase() { Application->Initialize(); }

    void init()
    {
        chart = std::make_unique<TChart>();
        chart->resize(544, 446);
        chart->show();
        QVERIFY(QTest::qWaitForWindowExposed(chart.get()));
    }

    void cleanup() { chart.reset(); }

    void formDescriptionSetsTheSettings()
    {
        chart->setProperty("title", "Заголовок");
        chart->setProperty("legendVisible", true);
        chart->setProperty("seriesColor", QColor(Qt::blue));
        QCOMPARE(chart->Title(), QString("Заголовок"));
        QVERIFY(chart->legend->visible());
        QCOMPARE(Series()->pen().color(), QColor(Qt::blue));

        QFont font("Tahoma");
        font.setPixelSize(11);
        chart->setFont(font);
        QCOMPARE(chart->xAxis->tickLabelFont().pixelSize(), 11);
        QCOMPARE(chart->yAxis->tickLabelFont().family(), QString("Tahoma"));
    }

    void pointsKeepAscendingXAndNonFiniteOrdinatesBecomeGaps()
    {
        const double inf = std::numeric_limits<double>::infinity();
        const double x[] = {3, 1, 2, 0, 4};
        const double y[] = {inf, -inf, std::nan(""), 5, 6};
        for (int i = 0; i < 5; ++i) Series()->AddXY(x[i], y[i], "", clDefaultColor);
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

    void axesFollowThePointsOfTheLatestPlot()
    {
        PlotLine();
        Series()->Clear();
        for (int x = 100; x <= 110; ++x) Series()->AddXY(x, -x);
        QTRY_COMPARE(chart->xAxis->range(), QCPRange(100, 110));
        QVERIFY(chart->yAxis->range().contains(-110) && chart->yAxis->range().contains(-100));
        QVERIFY(chart->yAxis->range().size() < 20);
    }

    void storageHoldsAtMost32BytesAPoint()
    {
#ifdef __GLIBC__
        // Measured right after each growth of the storage, its worst moment, up to a size where
        // malloc maps blocks of their own and realloc moves them.
        const auto heapInUse = [] {
            const struct mallinfo2 info = mallinfo2();
            return double(info.uordblks + info.hblkhd);
        };
        const auto& points = static_cast<const TSeriesData&>(*Series()->data());
        const double before = heapInUse();
        qsizetype capacity = 0;
        int growths = 0;
        for (int i = 0; i < 5'000'000; ++i) {
            Series()->AddXY(i, i % 7);
            if (points.Capacity() == capacity) continue;
            capacity = points.Capacity();
            if (++growths == 1) continue; // the first block is a fixed cost
            const double bytesPerPoint = (heapInUse() - before) / Series()->Count();
            QVERIFY2(bytesPerPoint <= 32, qPrintable(QString("%1 bytes a point at %2 points").arg(bytesPerPoint).arg(i + 1)));
        }
        QVERIFY(growths > 20);
#else
        QSKIP("measures the heap through glibc's mallinfo2");
#endif
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

    void mouseZoomsPansAndDoubleClickShowsAll()
    {
        PlotLine();
        QCustomPlot* plot = chart.get();
        const QPoint centre = chart->axisRect()->rect().center();

        QTest::mousePress(plot, Qt::RightButton, {}, centre - QPoint(50, 50));
        QTest::mouseMove(plot, centre);
        QTest::mouseRelease(plot, Qt::RightButton, {}, centre);
        const QCPRange zoomed = chart->xAxis->range();
        QVERIFY(zoomed.size() < 5 && zoomed.lower > 0);

        QTest::mousePress(plot, Qt::LeftButton, {}, centre);
        QTest::mouseMove(plot, centre + QPoint(100, 0));
        QTest::mouseRelease(plot, Qt::LeftButton, {}, centre + QPoint(100, 0));
        QVERIFY(chart->xAxis->range().lower < zoomed.lower);
        QVERIFY(qFuzzyCompare(chart->xAxis->range().size(), zoomed.size()));

        QWheelEvent wheel(centre, plot->mapToGlobal(centre), {}, {0, -120}, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(plot, &wheel);
        QVERIFY(chart->xAxis->range().size() > zoomed.size());

        QTest::mouseDClick(plot, Qt::LeftButton, {}, centre);
        QCOMPARE(chart->xAxis->range(), QCPRange(0, 10));
    }
};

QTEST_MAIN(ChartTest)
#include "ChartTest.moc"
