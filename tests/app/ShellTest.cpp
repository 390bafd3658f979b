// The program's entry routine, run in a process of its own over test forms (shell_probe): what
// the user sees and the exit status on every path.
#include "os/Desktop.h"

#include <QProcess>
#include <QTest>

class ShellTest : public QObject {
    Q_OBJECT

private slots:
    void reportsOnceAndExitsWithZero_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("seen");
        // clang-format off
        QTest::newRow("main window closed") << "main" << "" << QStringList{}
                                            << QStringList{"shown on offscreen left to right", "closed"};
        QTest::newRow("arguments ignored") << "main" << "" << QStringList{"-platform", "xcb", "-reverse", "--help"}
                                           << QStringList{"shown on offscreen left to right", "closed"};
        QTest::newRow("error creating the window") << "failing" << "" << QStringList{}
                                                   << QStringList{"box: Окно не создано."};
        QTest::newRow("handler error, loop goes on") << "raising" << "exception" << QStringList{}
                                                     << QStringList{"shown", "box: Ошибка в обработчике.", "closed"};
        QTest::newRow("out of memory in a handler") << "raising" << "bad_alloc" << QStringList{}
                                                    << QStringList{"shown", "box: Недостаточно памяти.", "closed"};
        QTest::newRow("foreign error ends the loop") << "raising" << "foreign" << QStringList{}
                                                     << QStringList{"shown", "box: Непредвиденная ошибка."};
        // clang-format on
    }

    void reportsOnceAndExitsWithZero()
    {
        QFETCH(QString, form);
        QFETCH(QString, error);
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, seen);
        QProcess probe;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("SHELL_PROBE_FORM", form);
        environment.insert("SHELL_PROBE_ERROR", error);
        probe.setProcessEnvironment(environment);
        probe.start(SHELL_PROBE_PATH, arguments);
        QVERIFY(probe.waitForFinished(20000));
        QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
        // The probe's stdout is a text stream: its lines end in CR LF on Windows.
        QCOMPARE(QString::fromUtf8(probe.readAllStandardOutput()).remove('\r').split('\n', Qt::SkipEmptyParts), seen);
        QCOMPARE(probe.exitCode(), 0);
    }

    // With nowhere to show the window the program says so in one line and fails, without a core dump.
    void withoutDisplaySaysSoAndExitsWithOne_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("said");
        // clang-format off
        QTest::newRow("none named") << "" << "rootfinder: нет дисплея: не заданы DISPLAY и WAYLAND_DISPLAY; "
                                            "rootfinder-cli работает и без дисплея.\n";
        QTest::newRow("named display absent") << ":65000" << "rootfinder: не удалось открыть дисплей «:65000»; "
                                                              "rootfinder-cli работает и без дисплея.\n";
        // clang-format on
    }

    void withoutDisplaySaysSoAndExitsWithOne()
    {
        QFETCH(QString, display);
        QFETCH(QString, said);
        if (!UsesDisplayServer()) QSKIP("this system always has a desktop to open the window on");
        QProcess probe;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY"}) environment.remove(name);
        if (!display.isEmpty()) environment.insert("DISPLAY", display);
        environment.insert("SHELL_PROBE_FORM", "main");
        probe.setProcessEnvironment(environment);
        probe.start(SHELL_PROBE_PATH);
        QVERIFY(probe.waitForFinished(20000));
        QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
        QCOMPARE(probe.exitCode(), 1);
        QCOMPARE(QString::fromUtf8(probe.readAllStandardError()), said);
        QCOMPARE(probe.readAllStandardOutput(), QByteArray());
    }
};

QTEST_GUILESS_MAIN(ShellTest)
#include "ShellTest.moc"
