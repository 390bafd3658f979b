#pragma once
// The main window: four input boxes, the Calculate button, the report memo and the chart. Its
// layout, captions, fonts and chart settings are the form description MainForm.ui.
#include "core/CalculationRun.h"
#include "core/RootVerdict.h"
#include "framework/gui/Chart.h"
#include "framework/gui/Controls.h"
#include "framework/gui/Forms.h"

#include <optional>
#include <vector>

class TForm1 : public TForm {
    Q_OBJECT
    // The published fields, in declared order; building the form assigns each the component of
    // its name.
    Q_PROPERTY(TBitBtn* BitBtn1 MEMBER BitBtn1)
    Q_PROPERTY(TMemo* mInfo MEMBER mInfo)
    Q_PROPERTY(TChart* Chart MEMBER Chart)
    Q_PROPERTY(TEdit* Edit1 MEMBER Edit1)
    Q_PROPERTY(TEdit* Edit2 MEMBER Edit2)
    Q_PROPERTY(TEdit* Edit3 MEMBER Edit3)
    Q_PROPERTY(TEdit* Edit4 MEMBER Edit4)
    Q_PROPERTY(TFastLineSeries* Series1 MEMBER Series1)
    Q_PROPERTY(TLabel* Label1 MEMBER Label1)
    Q_PROPERTY(TLabel* Label2 MEMBER Label2)
    Q_PROPERTY(TLabel* Label3 MEMBER Label3)
    Q_PROPERTY(TLabel* Label4 MEMBER Label4)

public:
    TBitBtn* BitBtn1 = nullptr;
    TMemo* mInfo = nullptr;
    TChart* Chart = nullptr;
    TEdit* Edit1 = nullptr;
    TEdit* Edit2 = nullptr;
    TEdit* Edit3 = nullptr;
    TEdit* Edit4 = nullptr;
    TFastLineSeries* Series1 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TLabel* Label3 = nullptr;
    TLabel* Label4 = nullptr;

    // Where «Проверить корни…» gets its proofs, loaded when first chosen; set before the form is
    // made. Without it, or once it has failed to load them, the chart's menu offers no check.
    static inline RunVerifierLoader LoadRootVerifier;

    explicit TForm1(TComponent* Owner);
    TForm1(TComponent* Owner, int Dummy);

public slots:
    // Calculate: runs the calculation on the four input texts, reporting into the memo and
    // plotting into the chart's series.
    void BitBtn1Click(TObject* Sender);
    // «Проверить корни…» in the chart's menu: the verdicts of the last completed run's root lines,
    // labelled as such when the last run ended with an error.
    void CheckRootsClick();

private:
    // What the check needs of the last completed run; none before the first.
    struct CompletedRun {
        CalculationInputs inputs;
        std::vector<RootRecord> lines;
    };
    std::optional<CompletedRun> lastRun_;
    bool lastRunFailed_ = false; // the last press ended with an error: lastRun_ is an earlier one
    RunVerifier verify_;
    QAction* checkRoots_ = nullptr; // «Проверить корни…» in the chart's menu, while it is offered
    void AddCheckToChartMenu();
};

extern TForm1* Form1;
