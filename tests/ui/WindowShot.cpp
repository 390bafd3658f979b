// Opens the main window as the program does, types the typical run (a = 1, b = 5, h = 0.1,
// EPS = 0.0001) into it, presses Calculate and saves a picture of the window.
// Usage: window_shot FILE.png   (run it under a display, e.g. xvfb-run)
#include "Application.h"
#include "MainForm.h"

#include <QApplication>
#include <QTest>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: window_shot FILE.png\n", stderr);
        return 2;
    }
    Application->Initialize();
    Application->MainFormOnTaskBar = true;
    Application->CreateForm(&Form1);
    Form1->show();
    if (!QTest::qWaitForWindowExposed(Form1)) return 1;

    const char* const inputs[] = {"1", "5", "0.1", "0.0001"};
    TEdit* const boxes[] = {Form1->Edit1, Form1->Edit2, Form1->Edit3, Form1->Edit4};
    for (int i = 0; i < 4; ++i) QTest::keyClicks(boxes[i], inputs[i]);
    QTest::mouseClick(Form1->BitBtn1, Qt::LeftButton);
    QTest::qWait(300); // the chart redraws once the click has been handled

    return Form1->grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
