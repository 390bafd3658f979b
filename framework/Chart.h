#pragma once
// The chart and its line series, over QCustomPlot. The chart carries one fast line series; the
// chart's and the series' settings are properties of the chart, so a form description sets them.
#include <qcustomplot.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

// A colour as the chart library writes it (0x00BBGGRR), or clTeeColor: the series' own colour.
using TColor = std::uint32_t;
inline constexpr TColor clTeeColor = 0x20000000;

class TChart;

// A plain line through the points, without a mark at each; points are kept in ascending x.
// Adding a point is cheap: 16 bytes in storage that doubles as it fills (so at most 32 bytes a
// point, give or take the allocator's last page), and one redraw after the event that added them.
class TFastLineSeries : public QCPGraph {
public:
    explicit TFastLineSeries(TChart* chart);

    // Removes every point and returns their memory.
    void Clear();

    // Adds the point (x, y); returns its index. Every point is drawn in the series' colour and
    // unlabelled. A non-finite ordinate is kept as NaN: the line shows a gap there and the axes
    // scale to the finite points.
    int AddXY(double x, double y, std::string_view label = "", TColor colour = clTeeColor);

    int Count() const { return mDataContainer->size(); }

private:
    TChart* chart_;
};

class TChart : public QCustomPlot {
    Q_OBJECT
    Q_PROPERTY(QString title READ Title WRITE SetTitle)
    Q_PROPERTY(bool legendVisible READ LegendVisible WRITE SetLegendVisible)
    Q_PROPERTY(QColor seriesColor READ SeriesColor WRITE SetSeriesColor)

public:
    explicit TChart(QWidget* parent = nullptr);

    TFastLineSeries* GetSeries(int index) const { return series_[static_cast<std::size_t>(index)]; }
    int SeriesCount() const { return static_cast<int>(series_.size()); }

    QString Title() const;
    void SetTitle(const QString& title);
    bool LegendVisible() const;
    void SetLegendVisible(bool visible);
    QColor SeriesColor() const;
    void SetSeriesColor(const QColor& colour);

    // Asks for one redraw once control is back in the event loop.
    void ScheduleRedraw()
    {
        if (redrawPending_) return;
        redrawPending_ = true;
        QMetaObject::invokeMethod(this, &TChart::Redraw, Qt::QueuedConnection);
    }

    // Scales the axes to the points present and draws the chart now.
    void Redraw();

protected:
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void ApplyFont();

    QCPTextElement* title_;
    std::vector<TFastLineSeries*> series_; // owned by QCustomPlot
    bool redrawPending_ = false;
};

inline int TFastLineSeries::AddXY(double x, double y, std::string_view, TColor)
{
    if (!std::isfinite(y)) y = std::numeric_limits<double>::quiet_NaN();
    mDataContainer->add(QCPGraphData(x, y)); // appends in place: the storage doubles when full
    chart_->ScheduleRedraw();
    return mDataContainer->size() - 1;
}
