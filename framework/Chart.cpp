#include "Chart.h"

TFastLineSeries::TFastLineSeries(TChart* chart) : QCPGraph(chart->xAxis, chart->yAxis), chart_(chart)
{
    setLineStyle(lsLine);
    setScatterStyle(QCPScatterStyle::ssNone);
}

void TFastLineSeries::Clear()
{
    mDataContainer->clear();
    mDataContainer->squeeze(); // clear() alone keeps the storage of the largest plot so far
    chart_->ScheduleRedraw();
}

TChart::TChart(QWidget* parent) : QCustomPlot(parent), title_(new QCPTextElement(this))
{
    plotLayout()->insertRow(0);
    plotLayout()->addElement(0, 0, title_);
    series_.push_back(new TFastLineSeries(this));
    axisRect()->setupFullAxesBox(true); // a frame: top and right axes without labels
    // Drag pans, the wheel zooms; a rectangle drawn with the right button zooms into it.
    setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    ApplyFont();
}

QString TChart::Title() const { return title_->text(); }
void TChart::SetTitle(const QString& title) { title_->setText(title); }
bool TChart::LegendVisible() const { return legend->visible(); }
void TChart::SetLegendVisible(bool visible) { legend->setVisible(visible); }
QColor TChart::SeriesColor() const { return series_.front()->pen().color(); }
void TChart::SetSeriesColor(const QColor& colour) { series_.front()->setPen(QPen(colour)); }

void TChart::Redraw()
{
    redrawPending_ = false;
    bool haveValues = false;
    series_.front()->getValueRange(haveValues);
    if (haveValues) {
        rescaleAxes();
        yAxis->scaleRange(1.05); // keeps the extremes of the line off the frame
    }
    replot();
}

void TChart::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) ApplyFont();
    QCustomPlot::changeEvent(event);
}

// QCustomPlot's elements copy the widget's font when they are made; a font set later (by the form
// description) is handed on here.
void TChart::ApplyFont()
{
    QFont titleFont = font();
    titleFont.setPixelSize(QFontInfo(font()).pixelSize() + 2);
    titleFont.setBold(true);
    title_->setFont(titleFont);
    for (QCPAxis* axis : axisRect()->axes()) {
        axis->setTickLabelFont(font());
        axis->setLabelFont(font());
    }
    legend->setFont(font());
}

void TChart::mousePressEvent(QMouseEvent* event)
{
    setSelectionRectMode(event->button() == Qt::RightButton ? QCP::srmZoom : QCP::srmNone);
    QCustomPlot::mousePressEvent(event);
}

void TChart::mouseReleaseEvent(QMouseEvent* event)
{
    QCustomPlot::mouseReleaseEvent(event);
    setSelectionRectMode(QCP::srmNone);
}

// Back to the full view after panning and zooming.
void TChart::mouseDoubleClickEvent(QMouseEvent* event)
{
    QCustomPlot::mouseDoubleClickEvent(event);
    Redraw();
}
