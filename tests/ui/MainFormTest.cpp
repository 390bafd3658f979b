// The main window as the user meets it: its layout and fields as it opens, typing and pressing
// Calculate, errors, resizing.
#include "core/CalculationRun.h"
#include "framework/base/Conversions.h"
#include "framework/base/Exception.h"
#include "framework/gui/Application.h"
#include "tests/ui/ErrorBoxes.h"
#include "ui/MainForm.h"

#include <QAccessible>
#include <QClipboard>
#include <QRawFont>
#include <QInputMethodEvent>
#include <QMetaProperty>
#include <QTest>

#include <cmath>
#include <memory>

class MainFormTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TForm1> form;

    QStringList MemoLines() const { return form->mInfo->toPlainText().split('\n', Qt::SkipEmptyParts); }
    TFastLineSeries* Series() const { return form->Chart->GetSeries(0); }

    void Type(const QStringList& inputs)
    {
        TEdit* const boxes[] = {form->Edit1, form->Edit2, form->Edit3, form->Edit4};
        for (int i = 0; i < 4; ++i) {
            boxes[i]->clear();
            QTest::keyClicks(boxes[i], inputs[i]);
        }
    }

    void Press() { QTest::mouseClick(form->BitBtn1, Qt::LeftButton); }

    // The report of a run, as the memo shows it in the process locale.
    static QStringList Report(const QStringList& roots)
    {
        QStringList lines{" Функция e^x / x^3 - sin(x)^3 - 2", "------ Корни ------"};
        for (int i = 0; i < roots.size(); ++i)
            lines << QString("%1-й = %2").arg(i + 1).arg(QString(roots[i]).replace('.', DecimalSeparator().c_str()));
        return lines;
    }

private slots:
    void initTestCase() { Application->Initialize(); }

    void init()
    {
        form = std::make_unique<TForm1>(nullptr);
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }

    void cleanup() { form.reset(); }

    void opensAsDesigned_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("fontPixels");
        QTest::newRow("Label1") << "Label1" << QRect(43, 8, 36, 23) << "a = " << 19;
        QTest::newRow("Label2") << "Label2" << QRect(42, 45, 37, 23) << "b = " << 19;
        QTest::newRow("Label3") << "Label3" << QRect(0, 85, 79, 23) << "Шаг h = " << 19;
        QTest::newRow("Label4") << "Label4" << QRect(21, 125, 58, 21) << "EPS = " << 19;
        QTest::newRow("BitBtn1") << "BitBtn1" << QRect(5, 160, 145, 38) << "Рассчитать" << 11;
        QTest::newRow("mInfo") << "mInfo" << QRect(5, 204, 145, 205) << "" << 11;
        QTest::newRow("Chart") << "Chart" << QRect(165, 0, 544, 446) << "" << 11;
        QTest::newRow("Edit1") << "Edit1" << QRect(85, 8, 65, 21) << "" << 11;
        QTest::newRow("Edit2") << "Edit2" << QRect(85, 48, 65, 21) << "" << 11;
        QTest::newRow("Edit3") << "Edit3" << QRect(85, 88, 65, 21) << "" << 11;
        QTest::newRow("Edit4") << "Edit4" << QRect(85, 125, 65, 21) << "" << 11;
    }

    void opensAsDesigned()
    {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        QFETCH(QString, text);
        QFETCH(int, fontPixels);
        auto* control = form->findChild<QWidget*>(name);
        QVERIFY(control);
        QCOMPARE(QRect(control->mapTo(form.get(), QPoint(0, 0)), control->size()), geometry);
        QString shown = control->property("text").toString();
        if (auto* memo = qobject_cast<TMemo*>(control)) shown = memo->toPlainText();
        QCOMPARE(shown, text);
        QCOMPARE(QFontInfo(control->font()).family(), QString("Tahoma"));
        QCOMPARE(control->font().pixelSize(), fontPixels);
    }

    void opensWithButtonFocusedAndDesignedTabOrder()
    {
        QCOMPARE(form->windowTitle(), QString("Form1"));
        QCOMPARE(form->size(), QSize(709, 446));
        QCOMPARE(QApplication::focusWidget(), form->BitBtn1);
        const QList<QWidget*> order{form->BitBtn1, form->mInfo, form->Chart, form->Edit1,
                                    form->Edit2,   form->Edit3, form->Edit4, form->BitBtn1};
        for (qsizetype i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), order[i]);
        }
        QVERIFY(!form->BitBtn1->isDefault() && !form->BitBtn1->autoDefault());
        QVERIFY(!form->mInfo->isReadOnly());
        QCOMPARE(form->mInfo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(form->mInfo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(form->mInfo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    }

    void publishesItsComponentsInDeclaredOrder()
    {
        const QStringList declared{"BitBtn1", "mInfo",   "Chart",  "Edit1",  "Edit2",  "Edit3",
                                   "Edit4",   "Series1", "Label1", "Label2", "Label3", "Label4"};
        QStringList published;
        for (int i = TForm::staticMetaObject.propertyCount(); i < TForm1::staticMetaObject.propertyCount(); ++i)
            published << TForm1::staticMetaObject.property(i).name();
        QCOMPARE(published, declared);
        for (const QString& name : declared) {
            const auto* field = form->property(name.toUtf8()).value<QObject*>();
            QVERIFY2(field && field->objectName() == name, qPrintable(name));
        }
        QCOMPARE(form->Series1, form->Chart->GetSeries(0));

        const TForm1 empty(nullptr, 0); // the second constructor reads no description
        QVERIFY(empty.children().isEmpty() && !empty.BitBtn1);
    }

    void opensWithEmptyTitledChart()
    {
        TChart* chart = form->Chart;
        QCOMPARE(chart->Title(), QString("e^x / x^3 - sin(x)^3 - 2"));
        QVERIFY(!chart->LegendVisible());
        QCOMPARE(chart->graphCount(), 1);
        QCOMPARE(Series()->Count(), 0);
        QCOMPARE(Series()->pen().color(), QColor(Qt::red));
        QCOMPARE(Series()->scatterStyle().shape(), QCPScatterStyle::ssNone);
        const QFont title = static_cast<QCPTextElement*>(chart->plotLayout()->element(0, 0))->font();
        const QRawFont titleFace =
            QRawFont::fromFont(title); // the face drawn: Tahoma's own bold, not an emboldened one
        QCOMPARE(titleFace.familyName(), QString("Tahoma"));
        QCOMPARE(titleFace.styleName(), QString("Bold"));
    }

    void typicalRunReportsAndPlots()
    {
        Type({"1", "5", "0.1", "0.0001"});
        QTest::keyClick(form->Edit4, Qt::Key_Return); // no default button: Enter presses nothing
        QTest::keyClick(form->Edit4, Qt::Key_Escape);
        QVERIFY(MemoLines().isEmpty());

        Press();
        QCOMPARE(MemoLines(), Report({"1.019122", "4.595297"}));
        QCOMPARE(Series()->Count(), 43);
        QCOMPARE(Series()->data()->constBegin()->key, 0.9);
        QCOMPARE((Series()->data()->constEnd() - 1)->key, 5.099999999999999);
        QCOMPARE(QApplication::focusWidget(), form->BitBtn1);
    }

    void keyboardPressesTheFocusedButton_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Space") << int(Qt::Key_Space) << int(Qt::NoModifier);
        QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
    }

    void keyboardPressesTheFocusedButton()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        Type({"1", "5", "0.1", "0.0001"});
        form->BitBtn1->setFocus();
        QTest::keyClick(form->BitBtn1, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(MemoLines(), Report({"1.019122", "4.595297"}));
    }

    void longPasteIsKeptWhole()
    {
        const QString text = "0." + QString(40'000, '1');
        QGuiApplication::clipboard()->setText(text);
        form->Edit1->setFocus();
        QTest::keyClick(form->Edit1, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(form->Edit1->GetText(), text.toStdString());
    }

    // The run tells the series how many points it will add: their room is taken once, exactly.
    void plotRoomIsReservedExactly_data()
    {
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<int>("points");
        QTest::newRow("typical") << QStringList{"1", "5", "0.1", "0.0001"} << 43;
        QTest::newRow("fine step") << QStringList{"1", "2", "1e-5", "0.0001"} << 100'002;
    }

    void plotRoomIsReservedExactly()
    {
        QFETCH(QStringList, inputs);
        QFETCH(int, points);
        Type(inputs);
        Press();
        QCOMPARE(Series()->Count(), points);
        // The room held the run's points exactly: one more point moves them.
        const QCPGraphData* storage = &*Series()->data()->constBegin();
        Series()->AddXY(1e9, 0);
        QVERIFY(&*Series()->data()->constBegin() != storage);
    }

    void secondPressAppendsReportAndReplacesPlot()
    {
        QInputMethodEvent typing; // Cyrillic typed as an input method commits it
        typing.setCommitString("Заметка");
        QApplication::sendEvent(form->mInfo, &typing);
        Type({"1", "5", "0.1", "0.0001"});
        Press();
        Type({"1", "10", "0.5", "0.0001"});
        Press();
        QCOMPARE(MemoLines(), QStringList{"Заметка"} + Report({"1.019122", "4.595297"}) +
                                  Report({"1.019122", "6.132001", "5.160559", "6.132001"}));
        QCOMPARE(Series()->Count(), 20);
        QCOMPARE(Series()->data()->constBegin()->key, 0.5);
    }

    void conversionErrorIsShownAndChangesNothing()
    {
        Type({"1", "5", "0.1", "0.0001"});
        Press();
        const QString memoBefore = form->mInfo->toPlainText();
        form->Edit1->clear();

        const QStringList boxes = CloseErrorBoxesDuring([this] { Press(); });
        QString expected;
        try {
            ParseInputs("", "5", "0.1", "0.0001"); // the message names the field a
        } catch (const Exception& error) {
            expected = QString::fromStdString(error.Message);
        }
        QCOMPARE(boxes, QStringList{expected});
        QCOMPARE(form->mInfo->toPlainText(), memoBefore);
        QCOMPARE(Series()->Count(), 43);

        QTest::keyClicks(form->Edit1, "4"); // still usable: a = 4 finds the second root only
        Press();
        QCOMPARE(MemoLines().mid(4), Report({"4.595297"}));
    }

    // f has its pole at 0: the infinite ordinate becomes a gap and the axes stay finite.
    void nonFiniteOrdinateIsDrawnAsGap()
    {
        Type({"-1", "1", "0.5", "0.0001"});
        Press();
        QTRY_VERIFY(form->Chart->yAxis->range().size() > 0);
        const auto zero = Series()->data()->findBegin(0.0, false);
        QCOMPARE(zero->key, 0.0);
        QVERIFY(std::isnan(zero->value));
        QVERIFY(std::isfinite(form->Chart->yAxis->range().lower) && std::isfinite(form->Chart->yAxis->range().upper));
        // Told as the scan tests its steps: the infinity at the pole is positive, a sign change.
        const QString summary = QAccessible::queryAccessibleInterface(form->Chart)->text(QAccessible::Description);
        const QString separator = QString::fromStdString(DecimalSeparator());
        QVERIFY2(summary.contains(
                     QString("f не конечна: при x = 0. Смены знака между соседними точками: 1, между x = -0%1 и 0.")
                         .arg(separator + "5")),
                 qPrintable(summary));
    }

    // What a screen reader is told of each control, before and after a run.
    void controlsAreNamedForScreenReaders()
    {
        const struct {
            QWidget* control;
            QAccessible::Role role;
            QString name;
        } expected[] = {
            {form->BitBtn1, QAccessible::Button, "Рассчитать"},  {form->mInfo, QAccessible::EditableText, "Отчёт"},
            {form->Chart, QAccessible::Chart, "График функции"}, {form->Edit1, QAccessible::EditableText, "a ="},
            {form->Edit2, QAccessible::EditableText, "b ="},     {form->Edit3, QAccessible::EditableText, "Шаг h ="},
            {form->Edit4, QAccessible::EditableText, "EPS ="},
        };
        for (const auto& control : expected) {
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control.control);
            QVERIFY(accessible);
            QCOMPARE(accessible->role(), control.role);
            QCOMPARE(accessible->text(QAccessible::Name).trimmed(), control.name);
        }
        QAccessibleInterface* chart = QAccessible::queryAccessibleInterface(form->Chart);
        QVERIFY(chart->text(QAccessible::Description).startsWith("На графике нет точек. Клавиши:"));

        const QString separator = QString::fromStdString(DecimalSeparator());
        Type({"1", "5", "0.1", "0.0001"});
        Press();
        QTRY_VERIFY(chart->text(QAccessible::Description)
                        .startsWith(QString("На графике 43 точки, x от 0.9 до 5.1, f от ").replace('.', separator)));
        QVERIFY(chart->text(QAccessible::Description)
                    .contains(
                        QString("f не конечна: нигде. Смены знака между соседними точками: 2, между x = 1 и 1%1; между "
                                "x = 4%2 и 4%3.")
                            .arg(separator + "1", separator + "5", separator + "6")));
    }

    void resizeKeepsChartDockedRight_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("larger") << QSize(1000, 700);
        QTest::newRow("smaller") << QSize(600, 300);
        QTest::newRow("narrower than the chart") << QSize(300, 200); // no minimum size: they overlap
    }

    void resizeKeepsChartDockedRight()
    {
        QFETCH(QSize, size);
        form->resize(size);
        QTRY_COMPARE(form->size(), size);
        QTRY_COMPARE(form->Chart->geometry(), QRect(size.width() - 544, 0, 544, size.height()));
        // The left column's controls keep their places in the form.
        QCOMPARE(form->Label1->mapTo(form.get(), QPoint(0, 0)), QPoint(43, 8));
        QCOMPARE(form->Edit4->mapTo(form.get(), QPoint(0, 0)), QPoint(85, 125));
        QCOMPARE(form->mInfo->mapTo(form.get(), QPoint(0, 0)), QPoint(5, 204));
    }
};

QTEST_MAIN(MainFormTest)
#include "MainFormTest.moc"
