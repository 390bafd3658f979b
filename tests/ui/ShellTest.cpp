// The program's entry routine, run in a process of its own over test forms (shell_probe): what
// the user sees and the exit status on every path.
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
        QCOMPARE(QString::fromUtf8(probe.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts), seen);
        QCOMPARE(probe.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(ShellTest)
#include "ShellTest.moc"
