// A picture of the chart whose save fails for the file-size limit, which only a POSIX system
// sets: the build takes this file on POSIX systems only.
#include "framework/base/Exception.h"
#include "framework/gui/Application.h"
#include "framework/gui/Chart.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include <sys/resource.h>

class ChartPosixTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Application->Initialize(); }

    void aFailedSaveKeepsTheOldFileAndNamesTheReason()
    {
        TChart chart;
        chart.resize(544, 446);
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        for (int x = 0; x <= 10; ++x) chart.GetSeries(0)->AddXY(x, x);
        QTRY_COMPARE(chart.xAxis->range(), QCPRange(0, 10));
        QTemporaryDir directory;
        const QString path = directory.filePath("plot.png");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("keep") == 4);
        old.close();
        // Files may grow to 1 KiB here: the picture does not fit.
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{1024, saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &small);
        QString message;
        try {
            chart.SaveImage(path);
        } catch (const Exception& error) {
            message = QString::fromStdString(error.Message);
        }
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
        QVERIFY2(message.contains("файл слишком велик") && message.contains(path), qPrintable(message));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("keep"));
        QCOMPARE(QDir(directory.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"plot.png"});
    }
};

QTEST_MAIN(ChartPosixTest)
#include "ChartPosixTest.moc"
