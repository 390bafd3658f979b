#pragma once
// «Проверить корни…»: the last completed run's root lines with their proven verdicts, and the
// zeros of f on [a, b] that the scan missed. Its layout and captions are the form description
// RootCheckDialog.ui; the memo's report is left as it is.
#include "core/CalculationRun.h"
#include "core/RootVerdict.h"

#include <QDialog>

#include <vector>

class QLabel;
class QListWidget;
class QTableWidget;

class TRootCheckDialog : public QDialog {
    Q_OBJECT

public:
    // Shows `lines`, the root lines of a completed run on `inputs`, with their `verdicts`. When
    // the last run ended with an error, `afterFailedRun` says so above them, naming the run shown.
    TRootCheckDialog(QWidget* parent, const CalculationInputs& inputs, const std::vector<RootRecord>& lines,
                     const RunVerdicts& verdicts, bool afterFailedRun = false);

    QLabel* Notice = nullptr;
    QLabel* Summary = nullptr;
    QTableWidget* Lines = nullptr;
    QListWidget* Missed = nullptr;
};
