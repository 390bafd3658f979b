// Opens the main window as the program does, types the typical run (a = 1, b = 5, h = 0.1,
// EPS = 0.0001) into it, presses Calculate and saves a picture of the window: as it stands, with
// the read-out of the point under the mouse, or with the chart's context menu open; or, after the
// run a = 1, b = 10, h = 0.5, EPS = 0.0001, the dialog of «Проверить корни…»; or with the chart
// focused and its keyboard cursor moved to the second sign change (Right, Ctrl+Right).
// Usage: window_shot FILE.png [readout|menu|check|keys]   (run it under a display, e.g. xvfb-run)
#include "framework/gui/Application.h"
#include "ui/MainForm.h"

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QScreen>
#include <QTest>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    const char* const scene = argc == 3 ? argv[2] : "";
    const bool check = std::strcmp(scene, "check") == 0;
    if (argc < 2 || argc > 3 ||
        (argc == 3 && std::strcmp(scene, "readout") != 0 && std::strcmp(scene, "menu") != 0 &&
         std::strcmp(scene, "keys") != 0 && !check)) {
        std::fputs("usage: window_shot FILE.png [readout|menu|check|keys]\n", stderr);
        return 2;
    }
#ifdef ROOTFINDER_HAVE_VERIFY
    TForm1::LoadRootVerifier = [] { return RunVerifier(VerifyRun); };
#endif
    Application->Initialize();
    Application->MainFormOnTaskBar = true;
    Application->CreateForm(&Form1);
    Form1->show();
    if (!QTest::qWaitForWindowExposed(Form1)) return 1;

    const char* const typical[] = {"1", "5", "0.1", "0.0001"};
    const char* const missing[] = {"1", "10", "0.5", "0.0001"};
    const char* const* inputs = check ? missing : typical;
    TEdit* const boxes[] = {Form1->Edit1, Form1->Edit2, Form1->Edit3, Form1->Edit4};
    for (int i = 0; i < 4; ++i) QTest::keyClicks(boxes[i], inputs[i]);
    QTest::mouseClick(Form1->BitBtn1, Qt::LeftButton);
    QTest::qWait(300); // the chart redraws once the click has been handled

    TChart* const chart = Form1->Chart;
    // Near the first root, where the line crosses zero.
    const QPoint atRoot(qRound(chart->xAxis->coordToPixel(1.02)), qRound(chart->yAxis->coordToPixel(0)));
    QPixmap picture;
    if (check) {
        for (QAction* action : chart->ContextMenu()->actions())
            if (action->text() == "Проверить корни…") action->trigger();
        auto* dialog = Form1->findChild<QDialog*>();
        if (!dialog || !QTest::qWaitForWindowExposed(dialog)) return 1;
        QTest::qWait(100);
        picture = dialog->grab();
    } else if (std::strcmp(scene, "menu") == 0) {
        QTest::mouseClick(chart, Qt::RightButton, {}, atRoot);
        QTest::qWait(300);
        // The menu is a window of its own: the picture is taken from the screen.
        const QRect frame = Form1->frameGeometry();
        picture = Form1->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    } else if (std::strcmp(scene, "keys") == 0) {
        Form1->activateWindow();
        chart->setFocus(Qt::TabFocusReason); // as two presses of Tab from the button give it
        QTest::keyClick(chart, Qt::Key_Right);
        QTest::keyClick(chart, Qt::Key_Right, Qt::ControlModifier);
        QTest::qWait(100);
        picture = Form1->grab();
    } else {
        if (std::strcmp(scene, "readout") == 0) QTest::mouseMove(chart, atRoot);
        QTest::qWait(100);
        picture = Form1->grab();
    }
    return picture.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
