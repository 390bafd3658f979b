#pragma once
// The main window: four input boxes, the Calculate button, the report memo and the chart. Its
// layout, captions, fonts and chart settings are the form description MainForm.ui.
#include "Forms.h"
#include "ui_MainForm.h"

class TForm1 : public TForm, public Ui::TForm1 {
    Q_OBJECT

public:
    explicit TForm1(TComponent* Owner);

public slots:
    // Calculate: runs the calculation on the four input texts, reporting into the memo and
    // plotting into the chart's series.
    void BitBtn1Click(TObject* Sender);
};

extern TForm1* Form1;
