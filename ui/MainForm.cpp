#include "MainForm.h"

#include "CalculationRun.h"
#include "ui_MainForm.h"

TForm1* Form1 = nullptr;

namespace {

class MemoReport final : public ReportSink {
public:
    explicit MemoReport(TMemo* memo) : memo_(memo) {}
    void Add(const std::string& line) override { memo_->Lines->Add(line); }

private:
    TMemo* memo_;
};

// The series is looked up through the chart for the clear, the room and every point.
class ChartPlot final : public PlotSink {
public:
    explicit ChartPlot(TChart* chart) : chart_(chart) {}
    void Clear() override { chart_->GetSeries(0)->Clear(); }
    void Reserve(std::size_t points) override { chart_->GetSeries(0)->Reserve(points); }
    void Add(PlotPoint point) override { chart_->GetSeries(0)->AddXY(point.x, point.y, "", clDefaultColor); }

private:
    TChart* chart_;
};

} // namespace

TForm1::TForm1(TComponent* Owner) : TForm(Owner)
{
    Load<Ui::TForm1>();
}

TForm1::TForm1(TComponent* Owner, int Dummy) : TForm(Owner, Dummy) {}

void TForm1::BitBtn1Click(TObject* /*Sender*/)
{
    MemoReport report(mInfo);
    ChartPlot plot(Chart);
    CalculationRun(Edit1->GetText(), Edit2->GetText(), Edit3->GetText(), Edit4->GetText(), report, plot);
}
