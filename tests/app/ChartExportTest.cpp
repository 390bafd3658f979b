// rootfinder-cli --plot: the run's chart drawn into a PNG or SVG file without a display; the
// modules it loads, missing or of another version.
#include <QDir>
#include <QImage>
#include <QProcess>
#if ROOTFINDER_HAVE_SVG
#include <QSvgRenderer>
#endif
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

class ChartExportTest : public QObject {
    Q_OBJECT

    QTemporaryDir directory;

    // Runs the command line on the typical run with no display at all; returns its exit code.
    int Plot(const QString& file, QString* errors = nullptr, const QString& program = ROOTFINDER_CLI_PATH,
             const QString& option = "--plot")
    {
        QProcess cli;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("QT_QPA_PLATFORM");
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
        cli.setProcessEnvironment(environment);
        cli.start(program, {option, directory.filePath(file), "1", "5", "0.1", "0.0001"});
        if (!cli.waitForFinished(20000)) return -1;
        if (errors) *errors = QString::fromUtf8(cli.readAllStandardError());
        return cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
    }

private slots:
    void writesPngOfTheWindowsChart()
    {
        QCOMPARE(Plot("plot.PNG"), 0);
        const QImage image(directory.filePath("plot.PNG"));
        QCOMPARE(image.size(), QSize(544, 446));
        int reddish = 0; // the line is antialiased
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                reddish += pixel.red() - std::max(pixel.green(), pixel.blue()) > 100;
            }
        QVERIFY2(reddish > 500, qPrintable(QString("the graph is a red line: %1 reddish pixels").arg(reddish)));
    }

    void writesValidSvg()
    {
#if ROOTFINDER_HAVE_SVG
        QCOMPARE(Plot("plot.svg"), 0);
        QSvgRenderer svg(directory.filePath("plot.svg"));
        QVERIFY(svg.isValid());
        QCOMPARE(svg.viewBox(), QRect(0, 0, 544, 446));
#else
        QCOMPARE(Plot("plot.svg"), 1); // said on stderr; no file is written
        QVERIFY(!QFile::exists(directory.filePath("plot.svg")));
#endif
    }

    void reportsWhatItCannotWrite_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("unknown format") << "plot.bmp";
        QTest::newRow("no such folder") << "missing/plot.png";
    }

    void reportsWhatItCannotWrite()
    {
        QFETCH(QString, file);
        QString errors;
        QCOMPARE(Plot(file, &errors), 1);
        QVERIFY2(errors.contains(file) && errors.contains("Не "), qPrintable(errors));
        QVERIFY(!QFile::exists(directory.filePath(file)));
    }

    // The drawing lives in a module beside the executable; without it --plot says so.
    void reportsAMissingChartModule()
    {
        const QString alone = directory.filePath("alone");
        QVERIFY(QDir().mkpath(alone));
        const QString program = alone + "/rootfinder-cli";
        QVERIFY(QFile::copy(ROOTFINDER_CLI_PATH, program));
        QString errors;
        QCOMPARE(Plot("alone/plot.png", &errors, program), 1);
        QVERIFY2(errors.startsWith("rootfinder-cli: ") && errors.contains("модуль") && errors.contains("--plot"),
                 qPrintable(errors));
        QCOMPARE(QDir(alone).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"rootfinder-cli"});
    }

    // A module of another interface version is refused before anything in it is called, naming it.
    void refusesAModuleOfAnotherVersion_data()
    {
        QTest::addColumn<QString>("module");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("file");
        // clang-format off
        QTest::newRow("chart") << CHART_MODULE_FILE << "--plot" << "plot.png";
        if (*VERIFY_MODULE_FILE) QTest::newRow("verdicts") << VERIFY_MODULE_FILE << "--roots" << "roots.csv";
        // clang-format on
    }

    void refusesAModuleOfAnotherVersion()
    {
        QFETCH(QString, module);
        QFETCH(QString, option);
        QFETCH(QString, file);
        const QString stale = directory.filePath("stale-" + option.mid(2));
        QVERIFY(QDir().mkpath(stale));
        QVERIFY(QFile::copy(ROOTFINDER_CLI_PATH, stale + "/rootfinder-cli"));
        QVERIFY(QFile::copy(STALE_MODULE_PATH, stale + "/" + module));
        QString errors;
        QCOMPARE(Plot("stale-" + option.mid(2) + "/" + file, &errors, stale + "/rootfinder-cli", option), 1);
        QVERIFY2(errors.startsWith("rootfinder-cli: Не подходит модуль") && errors.contains(module) &&
                     errors.contains("его версия") && errors.contains(option),
                 qPrintable(errors));
        QVERIFY(!QFile::exists(stale + "/" + file));
    }
};

QTEST_GUILESS_MAIN(ChartExportTest)
#include "ChartExportTest.moc"
