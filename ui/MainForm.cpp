#include "ui/MainForm.h"

#include "core/CalculationRun.h"
#include "ui/ui_MainForm.h"

#include "framework/gui/Application.h"
#include "ui/RootCheckDialog.h"

#include <QMenu>
#include <QMessageBox>

#include <utility>

TForm1* Form1 = nullptr;

namespace {

class MemoReport final : public ReportSink {
public:
    explicit MemoReport(TMemo* memo) : memo_(memo) {}
    void Add(const std::string& line) override { memo_->Lines->Add(line); }

private:
    TMemo* memo_;
};

// The series is looked up through the chart for the clear, the room and every point or block.
class ChartPlot final : public PlotSink {
public:
    explicit ChartPlot(TChart* chart) : chart_(chart) {}
    void Clear() override { chart_->GetSeries(0)->Clear(); }
    void Reserve(std::size_t points) override { chart_->GetSeries(0)->Reserve(points); }
    void Add(PlotPoint point) override { chart_->GetSeries(0)->AddXY(point.x, point.y); }
    void AddBlock(const double* xs, const double* ys, std::size_t count) override
    {
        chart_->GetSeries(0)->AddBlock(xs, ys, count);
    }

private:
    TChart* chart_;
};

} // namespace

TForm1::TForm1(TComponent* Owner) : TForm(Owner)
{
    Load<Ui::TForm1>();
    AddCheckToChartMenu();
}

TForm1::TForm1(TComponent* Owner, int Dummy) : TForm(Owner, Dummy) {}

void TForm1::BitBtn1Click(TObject* /*Sender*/)
{
    MemoReport report(mInfo);
    ChartPlot plot(Chart);
    RootRecords lines;
    lastRunFailed_ = true; // until the run completes
    const CalculationInputs inputs =
        ParseInputs(Edit1->GetText(), Edit2->GetText(), Edit3->GetText(), Edit4->GetText());
    CalculationRun(inputs, report, plot, &lines);
    lastRun_ = CompletedRun{inputs, std::move(lines.records)};
    lastRunFailed_ = false;
}

void TForm1::AddCheckToChartMenu()
{
    if (Chart && LoadRootVerifier)
        checkRoots_ = Chart->ContextMenu()->addAction("Проверить корни…", this, &TForm1::CheckRootsClick);
}

void TForm1::CheckRootsClick()
{
    if (!lastRun_) {
        QMessageBox::information(this, "Проверка корней",
                                 lastRunFailed_
                                     ? "Проверять нечего: последний расчёт завершился ошибкой, а завершённого "
                                       "расчёта до него не было."
                                     : "Проверять нечего: сначала выполните расчёт (кнопка «Рассчитать»).");
        return;
    }
    // Caught here, as the button catches its handler's, before the error could reach QtWidgets.
    if (!verify_) {
        try {
            verify_ = LoadRootVerifier();
        } catch (...) {
            // A module that cannot be loaded (missing, broken or of another version) stays so:
            // the check is not offered again.
            if (checkRoots_) {
                Chart->ContextMenu()->removeAction(checkRoots_);
                std::exchange(checkRoots_, nullptr)->deleteLater();
            }
            Application->HandleException(std::current_exception());
            return;
        }
    }
    try {
        const RunVerdicts verdicts = verify_(lastRun_->lines, lastRun_->inputs, true);
        auto* dialog = new TRootCheckDialog(this, lastRun_->inputs, lastRun_->lines, verdicts, lastRunFailed_);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->open();
    } catch (...) {
        Application->HandleException(std::current_exception());
    }
}
