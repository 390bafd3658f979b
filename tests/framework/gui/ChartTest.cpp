// The chart: the settings a form description makes, the mouse interactions, the read-out, the
// context menu and the chart's pictures.
#include "framework/base/Conversions.h"
#include "framework/base/Exception.h"
#include "framework/gui/Application.h"
#include "framework/gui/Chart.h"
#include "tests/framework/gui/ShownChart.h"

#include <QAccessible>
#include <QBuffer>
#include <QClipboard>
#include <QFileDialog>
#if ROOTFINDER_HAVE_SVG
#include <QSvgRenderer>
#endif
#include <QTemporaryDir>
#include <QTest>

#include <limits>
#include <memory>

class ChartTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TChart> chart;

    TFastLineSeries* Series() const { return chart->GetSeries(0); }

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
        return QString("x = %1\nf(x) = %2")
            .arg(QString::number(x).replace('.', separator), QString::number(y).replace('.', separator));
    }

private slots:
    void initTestCase() { Application->Initialize(); }

    void init() { QVERIFY(ShowChart(chart)); }

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

    void mouseZoomsPansAndDoubleClickShowsAll()
    {
        QVERIFY(PlotLine(*chart));
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
        QCOMPARE(chart->Image(), picture);                            // the read-out is for the screen only
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

    // The keyboard's cursor walks the points, jumps to sign changes, and is the chart's value.
    void keysMoveTheReadoutAlongThePoints()
    {
        for (int i = 0; i <= 20; ++i) Series()->AddXY(i / 2.0, i * i / 16.0 - 4.1); // changes sign between 4 and 4.5
        QTRY_COMPARE(chart->xAxis->range(), QCPRange(0, 10));
        chart->setFocus();
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(chart.get());
        const struct {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            double x;
        } presses[] = {
            {Qt::Key_Right, {}, 5}, // the first press: the middle of the view
            {Qt::Key_Right, {}, 5.5},
            {Qt::Key_Left, {}, 5},
            {Qt::Key_Left, Qt::ControlModifier, 4},
            {Qt::Key_Left, Qt::ControlModifier, 4}, // no change before it
            {Qt::Key_Home, {}, 4},
            {Qt::Key_Right, Qt::ControlModifier, 4},
        };
        for (const auto& press : presses) {
            QTest::keyClick(chart.get(), press.key, press.modifiers);
            const double y = press.x * press.x / 4 - 4.1;
            QCOMPARE(chart->Readout(), ReadoutOf(press.x, y));
            QCOMPARE(accessible->text(QAccessible::Value), ReadoutOf(press.x, y).replace('\n', "; "));
            QCOMPARE(accessible->valueInterface()->currentValue().toDouble(), press.x);
            QCOMPARE(accessible->child(0)->text(QAccessible::Name), accessible->text(QAccessible::Value));
        }
        accessible->valueInterface()->setCurrentValue(9.8);
        QCOMPARE(chart->Readout(), ReadoutOf(10, 20.9));
    }

    // Past one point a pixel column the cursor moves a column; zoom and pan by keys, Home undoes them.
    void keysStepByColumnZoomAndPan()
    {
        for (int i = 0; i <= 100'000; ++i) Series()->AddXY(i / 10'000.0, i);
        QTRY_COMPARE(chart->xAxis->range(), QCPRange(0, 10));
        chart->setFocus();
        QTest::keyClick(chart.get(), Qt::Key_Right);
        const double start = chart->ReadoutPoint()->key;
        QTest::keyClick(chart.get(), Qt::Key_Right);
        const double column = chart->xAxis->pixelToCoord(1) - chart->xAxis->pixelToCoord(0);
        QVERIFY(std::abs(chart->ReadoutPoint()->key - start - column) < 1e-4);

        QTest::keyClick(chart.get(), Qt::Key_Plus);
        QVERIFY(qFuzzyCompare(chart->xAxis->range().size(), 8.0));
        QVERIFY(chart->xAxis->range().contains(chart->ReadoutPoint()->key));
        QTest::keyClick(chart.get(), Qt::Key_Minus);
        QVERIFY(qFuzzyCompare(chart->xAxis->range().size(), 10.0));
        const QCPRange before = chart->xAxis->range();
        QTest::keyClick(chart.get(), Qt::Key_Right, Qt::ShiftModifier);
        QVERIFY(qFuzzyCompare(chart->xAxis->range().lower, before.lower + 1));
        QTest::keyClick(chart.get(), Qt::Key_Home);
        QCOMPARE(chart->xAxis->range(), QCPRange(0, 10));
        QTest::keyClick(chart.get(), Qt::Key_F10, Qt::ShiftModifier);
        QTRY_VERIFY(chart->ContextMenu()->isVisible());
        chart->ContextMenu()->close();
    }

    void rightClickOpensTheMenu()
    {
        QVERIFY(PlotLine(*chart));
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
        if (file.endsWith("SVG") && !TChart::WritesSvg()) QSKIP("built without Qt SVG: SVG is refused instead");
        QVERIFY(PlotLine(*chart));
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
        // clang-format off
        QTest::newRow("unknown format") << "plot.bmp" << "должно оканчиваться на .png, .svg или .pdf";
        QTest::newRow("no such folder") << "missing/plot.png" << "нет такой папки";
        if (!TChart::WritesSvg()) QTest::newRow("SVG, built without it") << "plot.svg" << "не умеет сохранять SVG";
        // clang-format on
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

    // WriteImage says false for what it cannot write; it never raises.
    void writeImageSaysFalseWhenItCannotWrite_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<bool>("writable");
        QTest::newRow("PNG, a device open for reading only") << "png" << false;
        QTest::newRow("SVG, a device open for reading only") << "svg" << false;
        QTest::newRow("PDF, a device open for reading only") << "pdf" << false;
        if (!TChart::WritesSvg()) QTest::newRow("SVG, built without it") << "svg" << true;
    }

    void writeImageSaysFalseWhenItCannotWrite()
    {
        QFETCH(QString, format);
        QFETCH(bool, writable);
        QVERIFY(PlotLine(*chart));
        QBuffer output;
        output.open(writable ? QIODevice::WriteOnly : QIODevice::ReadOnly);
        try {
            QVERIFY(!chart->WriteImage(output, *ChartFormatOfExtension(format.toStdString())));
        } catch (...) {
            QFAIL("raised");
        }
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
