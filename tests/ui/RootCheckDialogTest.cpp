// «Проверить корни…» in the chart's menu: nothing until asked, then the last run's verdicts in
// Russian and the zeros the scan missed, the memo untouched.
#include "Application.h"
#include "Conversions.h"
#include "ErrorBoxes.h"
#include "MainForm.h"
#include "RootCheckDialog.h"

#include <QListWidget>
#include <QMenu>
#include <QTableWidget>
#include <QTest>

#include <memory>

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

    void showsTheLastRunsVerdictsAndMissedZeros_data()
    {
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QStringList>("verdicts"); // the start of each line's verdict
        QTest::addColumn<int>("missed");
        QTest::newRow("pole and stalled secant")
            << QStringList{"-2.5", "1", "2.9", "1e-4"}
            << QStringList{"не корень: смена знака от полюса", "не корень: нуля f ближе EPS нет"} << 0;
        QTest::newRow("a root that left its step; 4.595 missed")
            << QStringList{"1", "10", "0.5", "1e-4"}
            << QStringList{"корень: в интервале", "корень: в интервале ровно один нуль f; уточнение ушло", "корень", "корень"} << 1;
        QTest::newRow("three zeros in one step") << QStringList{"4.5", "6.5", "2", "1e-6"} << QStringList{"корень"} << 2;
    }

    void showsTheLastRunsVerdictsAndMissedZeros()
    {
        QFETCH(QStringList, inputs);
        QFETCH(QStringList, verdicts);
        QFETCH(int, missed);
        Run({"1", "5", "0.1", "1e-4"}); // an earlier run is not the one checked
        Run(inputs);
        QVERIFY(!Dialog());
        const QString memo = form->mInfo->toPlainText();
        CheckAction()->trigger();
        TRootCheckDialog* dialog = Dialog();
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->Lines->rowCount(), verdicts.size());
        for (int row = 0; row < verdicts.size(); ++row) {
            QCOMPARE(dialog->Lines->item(row, 0)->text(), QString::number(row + 1));
            const QString verdict = dialog->Lines->item(row, 3)->text();
            QVERIFY2(verdict.startsWith(verdicts[row]), qPrintable(verdict));
            // Only a proven root has an interval.
            QCOMPARE(dialog->Lines->item(row, 4)->text().isEmpty(), !verdict.startsWith("корень"));
        }
        // The memo shows the root as the table does, and is left as it was.
        QVERIFY(memo.contains("1-й = " + dialog->Lines->item(0, 1)->text()));
        QCOMPARE(form->mInfo->toPlainText(), memo);
        if (missed == 0) {
            QCOMPARE(dialog->Missed->count(), 1);
            QVERIFY(dialog->Missed->item(0)->text().startsWith("нет"));
        } else {
            QCOMPARE(dialog->Missed->count(), missed);
            for (int i = 0; i < missed; ++i) QVERIFY(dialog->Missed->item(i)->text().startsWith("нуль в ["));
        }
        dialog->close();
    }
};

QTEST_MAIN(RootCheckDialogTest)
#include "RootCheckDialogTest.moc"
