// «Проверить корни…» in the chart's menu: nothing until asked, then the last completed run's
// verdicts in Russian and the zeros the scan missed, the memo untouched; after a failed run, the
// dialog says so; proofs that cannot be loaded are not offered again.
#include "framework/base/Conversions.h"
#include "framework/base/Exception.h"
#include "framework/gui/Application.h"
#include "tests/ui/ErrorBoxes.h"
#include "ui/MainForm.h"
#include "ui/RootCheckDialog.h"

#include <QAccessible>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QListWidget>
#include <QMenu>
#include <QTableWidget>
#include <QTest>

#include <memory>
#include <utility>

class RootCheckDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TForm1> form;

    QAction* CheckAction() const
    {
        for (QAction* action : form->Chart->ContextMenu()->actions())
            if (action->text() == "Проверить корни…") return action;
        return nullptr;
    }

    void Run(const QStringList& inputs)
    {
        TEdit* const boxes[] = {form->Edit1, form->Edit2, form->Edit3, form->Edit4};
        for (int i = 0; i < 4; ++i) boxes[i]->setText(QString(inputs[i]).replace('.', DecimalSeparator().c_str()));
        QTest::mouseClick(form->BitBtn1, Qt::LeftButton);
    }

    TRootCheckDialog* Dialog() const { return form->findChild<TRootCheckDialog*>(); }

private slots:
    void initTestCase()
    {
        Application->Initialize();
        TForm1::LoadRootVerifier = [] { return RunVerifier(VerifyRun); };
    }
    void init()
    {
        form = std::make_unique<TForm1>(nullptr);
        form->show();
    }
    void cleanup() { form.reset(); }

    void beforeAnyRunNothingIsChecked()
    {
        QVERIFY(CheckAction());
        QVERIFY(!Dialog());
        const QStringList boxes = CloseErrorBoxesDuring([&] { CheckAction()->trigger(); });
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes[0].contains("сначала выполните расчёт"));
        QVERIFY(!Dialog());
    }

    // Proofs that cannot be loaded (the module missing, or of another version) are said once; the
    // check is then no longer offered.
    void aVerifierThatCannotBeLoadedIsNotOfferedAgain()
    {
        const RunVerifierLoader loader = std::exchange(TForm1::LoadRootVerifier, []() -> RunVerifier {
            throw Exception("Не подходит модуль проверки корней rootfinder-verify.so (его версия 2)");
        });
        Run({"1", "5", "0.1", "1e-4"});
        const QStringList boxes = CloseErrorBoxesDuring([&] { CheckAction()->trigger(); });
        TForm1::LoadRootVerifier = loader;
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].contains("rootfinder-verify"), qPrintable(boxes[0]));
        QVERIFY(!CheckAction());
        QVERIFY(!Dialog());
    }

    void showsTheLastRunsVerdictsAndMissedZeros_data()
    {
        const QString root = "корень: нуль f не дальше EPS от найденного значения";
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QStringList>("verdicts"); // the start of each line's verdict
        QTest::addColumn<QStringList>("missed");   // the start of each item under the missed zeros
        QTest::newRow("pole and stalled secant")
            << QStringList{"-2.5", "1", "2.9", "1e-4"}
            << QStringList{"не корень: смена знака от полюса", "не корень: нуля f ближе EPS нет"}
            << QStringList{"Нулей f на отрезке нет"};
        QTest::newRow("a coarse EPS: a root far off, the pole in the step")
            << QStringList{"-1", "1", "0.1", "1"} << QStringList{root + "; в шаге есть и полюс x = 0", root + "\n"}
            << QStringList{"Нулей f на отрезке нет"};
        QTest::newRow("a root that left its step; 4.595 missed")
            << QStringList{"1", "10", "0.5", "1e-4"} << QStringList{root + "\n", root + "; уточнение ушло", root, root}
            << QStringList{"нуль в [4"};
        QTest::newRow("three zeros in one step")
            << QStringList{"4.5", "6.5", "2", "1e-6"} << QStringList{root} << QStringList{"нуль в [5", "нуль в [6"};
        QTest::newRow("every zero found") << QStringList{"1", "5", "0.1", "1e-4"} << QStringList{root, root}
                                          << QStringList{"нет: сканирование нашло все нули"};
    }

    void showsTheLastRunsVerdictsAndMissedZeros()
    {
        QFETCH(QStringList, inputs);
        QFETCH(QStringList, verdicts);
        QFETCH(QStringList, missed);
        Run({"1", "5", "0.1", "1e-4"}); // an earlier run is not the one checked
        Run(inputs);
        QVERIFY(!Dialog());
        const QString memo = form->mInfo->toPlainText();
        CheckAction()->trigger();
        TRootCheckDialog* dialog = Dialog();
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QVERIFY(dialog->Notice->isHidden());
        QCOMPARE(dialog->Lines->rowCount(), verdicts.size());
        for (int row = 0; row < verdicts.size(); ++row) {
            QCOMPARE(dialog->Lines->item(row, 0)->text(), QString::number(row + 1));
            const QString verdict = dialog->Lines->item(row, 3)->text() + "\n"; // "\n": the verdict ends there
            QVERIFY2(verdict.startsWith(verdicts[row]), qPrintable(verdict));
            // Only a proven root has a distance and an interval.
            const bool root = verdict.startsWith("корень");
            QCOMPARE(dialog->Lines->item(row, 4)->text().startsWith("≤ "), root);
            QCOMPARE(dialog->Lines->item(row, 5)->text().isEmpty(), !root);
        }
        // The memo shows the root as the table does, and is left as it was.
        QVERIFY(memo.contains("1-й = " + dialog->Lines->item(0, 1)->text()));
        QCOMPARE(form->mInfo->toPlainText(), memo);
        QCOMPARE(dialog->Missed->count(), missed.size());
        for (int i = 0; i < missed.size(); ++i)
            QVERIFY2(dialog->Missed->item(i)->text().startsWith(missed[i]),
                     qPrintable(dialog->Missed->item(i)->text()));
        dialog->close();
    }

    // The distance is shown rounded up, so that it still bounds: 1.772774338166866e-09 as 1.78e-09.
    void theDistanceShownStillBounds()
    {
        Run({"1", "10", "0.5", "1e-4"});
        CheckAction()->trigger();
        QVERIFY(Dialog());
        QCOMPARE(Dialog()->Lines->item(0, 4)->text(), "≤ 1" + QString::fromStdString(DecimalSeparator()) + "78e-09");
    }

    // Tab leaves the table for the list and «Закрыть»; Enter closes the dialog from the table.
    void keysMoveBetweenTheControlsAndClose()
    {
        Run({"1", "10", "0.5", "1e-4"});
        CheckAction()->trigger();
        TRootCheckDialog* dialog = Dialog();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        QCOMPARE(QAccessible::queryAccessibleInterface(dialog->Lines)->text(QAccessible::Name),
                 QString("Строки корней"));
        QCOMPARE(QAccessible::queryAccessibleInterface(dialog->Missed)->text(QAccessible::Name),
                 QString("Пропущенные нули"));
        dialog->Lines->setFocus();
        QWidget* const close = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Close);
        for (QWidget* next : {static_cast<QWidget*>(dialog->Missed), close, static_cast<QWidget*>(dialog->Lines)}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        QTest::keyClick(dialog->Lines, Qt::Key_Return);
        QTRY_VERIFY(!dialog->isVisible());
    }

    void afterAFailedRunSaysSoAndShowsTheLastCompletedOne_data()
    {
        QTest::addColumn<QStringList>("completed"); // before the failed run; none when empty
        QTest::addColumn<QStringList>("failed");
        QTest::addColumn<int>("rows");
        QTest::newRow("a bad field") << QStringList{"1", "5", "0.1", "1e-4"} << QStringList{"1", "5", "0.1.", "1e-4"}
                                     << 2;
        QTest::newRow("the secant's error")
            << QStringList{"1", "10", "0.5", "1e-4"} << QStringList{"-0.5", "0.4", "0.9", "1e-20"} << 4;
        QTest::newRow("no completed run before") << QStringList{} << QStringList{"-0.5", "0.4", "0.9", "1e-20"} << 0;
    }

    void afterAFailedRunSaysSoAndShowsTheLastCompletedOne()
    {
        QFETCH(QStringList, completed);
        QFETCH(QStringList, failed);
        QFETCH(int, rows);
        if (!completed.isEmpty()) Run(completed);
        QCOMPARE(CloseErrorBoxesDuring([&] { Run(failed); }).size(), 1);
        const QStringList boxes = CloseErrorBoxesDuring([&] { CheckAction()->trigger(); });
        if (completed.isEmpty()) {
            QCOMPARE(boxes.size(), 1);
            QVERIFY2(boxes[0].contains("последний расчёт завершился ошибкой"), qPrintable(boxes[0]));
            QVERIFY(!Dialog());
            return;
        }
        QVERIFY(boxes.isEmpty());
        TRootCheckDialog* dialog = Dialog();
        QVERIFY(dialog);
        const QString notice = dialog->Notice->text();
        QVERIFY(!dialog->Notice->isHidden());
        QVERIFY2(notice.startsWith("Последний расчёт завершился ошибкой"), qPrintable(notice));
        QVERIFY(QFontInfo(dialog->Notice->font()).bold());
        const QString run = QString("a = %1, b = %2, h = %3, EPS = ").arg(completed[0], completed[1], completed[2]);
        QVERIFY2(notice.contains(QString(run).replace('.', DecimalSeparator().c_str())), qPrintable(notice));
        QCOMPARE(dialog->Lines->rowCount(), rows);
        dialog->close();
        delete dialog;

        Run(completed); // a completed run after it is checked as usual
        CheckAction()->trigger();
        QVERIFY(Dialog()->Notice->isHidden());
    }
};

QTEST_MAIN(RootCheckDialogTest)
#include "RootCheckDialogTest.moc"
