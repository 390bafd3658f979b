// The chart and its series: points, gaps, redrawing, the settings a form description makes,
// the mouse interactions, the read-out, the context menu and the chart's pictures.
#include "framework/base/Conversions.h"
#include "framework/base/Exception.h"
#include "framework/gui/Application.h"
#include "framework/gui/Chart.h"
#include "tests/framework/gui/HeapInUse.h"

#include <QClipboard>
#include <QFileDialog>
#include <QSignalSpy>
#if ROOTFINDER_HAVE_SVG
#include <QSvgRenderer>
#endif
#include <QTemporaryDir>
#include <QTest>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>


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

    // The point of the plot area at abscissa x, halfway up.
    QPoint PixelAt(double x) const
    {
        return QPoint(qRound(chart->xAxis->coordToPixel(x)), chart->axisRect()->rect().center().y());
    }

    QAction* MenuAction(int index) const { return chart->ContextMenu()->actions().at(index); }

    // What the read-out shows for the point (x, y), in the process locale's notation.
    static QString ReadoutOf(double x, double y)
    {
        const QString separator = QString::fromStdString(DecimalSeparator());
        return QString("x = %1\nf(x) = %2").arg(QString::number(x).replace('.', separator), QString::number(y).replace('.', separator));
    }

private slots:
    void initTestCase() { Application->Initialize(); }

    void init()
    {
        QApplication::setStartDragDistance(10);
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
            for (const QCPGraphData& point : *Series()->data()) points.emplace_back(point.key, std::bit_cast<std::uint64_t>(point.value));
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
        PlotLine();
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
        qsizetype capacity = 0;
        int growths = 0;
        for (int i = 0; i < 5'000'000; ++i) {
            Series()->AddXY(i, i % 7);
            if (Series()->Capacity() == capacity) continue;
            capacity = Series()->Capacity();
            if (++growths == 1) continue; // the first block is a fixed cost
            const double bytesPerPoint = (HeapInUse() - before) / Series()->Count();
            QVERIFY2(bytesPerPoint <= 32, qPrintable(QString("%1 bytes a point at %2 points").arg(bytesPerPoint).arg(i + 1)));
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
        QVERIFY(!chart->ContextMenu()->isVisible()); // a drag is no click

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
        QTest::mouseRelease(plot, Qt::LeftButton, {}, centre); // QTest leaves the button down
        QCOMPARE(chart->xAxis->range(), QCPRange(0, 10));
    }

    void reservedRoomIsTakenOnceAndReturnedByClear()
    {
        constexpr int kPoints = 100'000;
        Series()->Reserve(kPoints);
        QCOMPARE(Series()->Capacity(), kPoints);
        Series()->AddXY(0, 0);
        const QCPGraphData* storage = &*Series()->data()->constBegin();
        for (int i = 1; i < kPoints; ++i) Series()->AddXY(i, i % 7);
        QCOMPARE(&*Series()->data()->constBegin(), storage);
        QCOMPARE(Series()->Capacity(), kPoints);
        Series()->Clear();
        QCOMPARE(Series()->Capacity(), 0);
    }

    void readoutShowsTheNearestPointAndGoesOnLeave_data()
    {
        QTest::addColumn<double>("cursor");
        QTest::addColumn<QString>("shown");
        QTest::newRow("between, nearer the left") << 2.6 << ReadoutOf(2.5, 1.5625);
        QTest::newRow("between, nearer the right") << 2.9 << ReadoutOf(3, 2.25);
        QTest::newRow("near the first point") << 0.1 << ReadoutOf(0, 0);
        QTest::newRow("near the last point") << 9.9 << ReadoutOf(10, 25);
    }

    void readoutShowsTheNearestPointAndGoesOnLeave()
    {
        QFETCH(double, cursor);
        QFETCH(QString, shown);
        for (int i = 0; i <= 20; ++i) Series()->AddXY(i / 2.0, i * i / 16.0);
        QTRY_COMPARE(chart->xAxis->range(), QCPRange(0, 10));
        const QImage picture = chart->Image();

        QTest::mouseMove(chart.get(), PixelAt(cursor));
        QCOMPARE(chart->Readout(), shown);
        QCOMPARE(chart->Image(), picture); // the read-out is for the screen only
        QTest::mouseMove(chart.get(), QPoint(chart->width() / 2, 2)); // over the title
        QCOMPARE(chart->Readout(), QString());
        QTest::mouseMove(chart.get(), PixelAt(cursor));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(chart.get(), &leave);
        QCOMPARE(chart->Readout(), QString());
    }

    void readoutNamesNonFiniteValuesAsTheReportDoes_data()
    {
        QTest::addColumn<double>("y");
        QTest::addColumn<QString>("shown");
        QTest::newRow("+inf") << std::numeric_limits<double>::infinity() << "INF";
        QTest::newRow("-inf") << -std::numeric_limits<double>::infinity() << "-INF";
        QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << "NAN";
    }

    void readoutNamesNonFiniteValuesAsTheReportDoes()
    {
        QFETCH(double, y);
        QFETCH(QString, shown);
        for (int x = 0; x <= 10; ++x) Series()->AddXY(x, x == 5 ? y : x);
        QTRY_COMPARE(chart->xAxis->range(), QCPRange(0, 10));
        QTest::mouseMove(chart.get(), PixelAt(1)); // a move, wherever the last row left the mouse
        QTest::mouseMove(chart.get(), PixelAt(5));
        QVERIFY2(chart->Readout().endsWith("f(x) = " + shown), qPrintable(chart->Readout()));
    }

    void rightClickOpensTheMenu()
    {
        PlotLine();
        const QStringList texts{"Сохранить график…", "Копировать график", "Показать всё"};
        for (int i = 0; i < texts.size(); ++i) QCOMPARE(MenuAction(i)->text(), texts[i]);

        const QPoint centre = chart->axisRect()->rect().center();
        QTest::mousePress(chart.get(), Qt::RightButton, {}, centre);
        QTest::mouseMove(chart.get(), centre + QPoint(3, 3)); // a tremor is no drag
        QTest::mouseRelease(chart.get(), Qt::RightButton, {}, centre + QPoint(3, 3));
        QTRY_VERIFY(chart->ContextMenu()->isVisible());
        QCOMPARE(chart->xAxis->range(), QCPRange(0, 10));
        chart->ContextMenu()->close();

        chart->xAxis->setRange(2, 3);
        MenuAction(2)->trigger(); // Показать всё
        QCOMPARE(chart->xAxis->range(), QCPRange(0, 10));

        QGuiApplication::clipboard()->clear();
        MenuAction(1)->trigger(); // Копировать график
        QCOMPARE(QGuiApplication::clipboard()->image(), chart->Image());
        QCOMPARE(chart->Image().size(), QSize(544, 446));
    }

    void savesThePictureInTheFormatOfTheExtension_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("start");
        QTest::newRow("PNG") << "plot.png" << QByteArray("\x89PNG");
        QTest::newRow("SVG, any case") << "plot.SVG" << QByteArray("<?xml");
        QTest::newRow("PDF") << "plot.pdf" << QByteArray("%PDF");
    }

    void savesThePictureInTheFormatOfTheExtension()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, start);
        if (file.endsWith("SVG") && !ROOTFINDER_HAVE_SVG) QSKIP("built without Qt SVG: SVG is refused instead");
        PlotLine();
        QTemporaryDir directory;
        const QString path = directory.filePath(file);
        chart->SaveImage(path);
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.read(start.size()) == start);
        if (file.endsWith("png")) QCOMPARE(QImage(path).size(), QSize(544, 446));
#if ROOTFINDER_HAVE_SVG
        if (file.endsWith("SVG")) QCOMPARE(QSvgRenderer(path).viewBox(), QRect(0, 0, 544, 446));
#endif
    }

    void refusesWhatItCannotSave_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown format") << "plot.bmp" << "должно оканчиваться на .png, .svg или .pdf";
        QTest::newRow("no such folder") << "missing/plot.png" << "нет такой папки";
        if (!ROOTFINDER_HAVE_SVG) QTest::newRow("SVG, built without it") << "plot.svg" << "не умеет сохранять SVG";
    }

    void refusesWhatItCannotSave()
    {
        QFETCH(QString, file);
        QFETCH(QString, message);
        QTemporaryDir directory;
        const QString path = directory.filePath(file);
        try {
            chart->SaveImage(path);
            QFAIL("saved");
        } catch (const Exception& error) {
            const QString text = QString::fromStdString(error.Message);
            QVERIFY2(text.contains(message) && text.contains(path), qPrintable(text));
        }
        QVERIFY(!QFile::exists(path));
    }

    void saveAsAsksForTheFile()
    {
        QTemporaryDir directory;
        MenuAction(0)->trigger(); // Сохранить график…
        QFileDialog* dialog = nullptr;
        QTRY_VERIFY((dialog = chart->findChild<QFileDialog*>()) && dialog->isVisible());
        dialog->selectFile(directory.filePath("plot.pdf"));
        QMetaObject::invokeMethod(dialog, "accept");
        QVERIFY(QFile::exists(directory.filePath("plot.pdf")));
    }
};

QTEST_MAIN(ChartTest)
#include "ChartTest.moc"
