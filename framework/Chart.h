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

// The series' points: QCustomPlot's sorted container with a quick append for the usual case, a
// point at or after the last one; any other point takes the container's sorted insert. The
// storage grows by about half when full, so that past its first block it never takes more than
// 32 bytes a point held, the allocator's share included.
class TSeriesData final : public QCPGraphDataContainer {
public:
    // Points the storage has room for.
    qsizetype Capacity() const { return mData.capacity(); }

    void Append(double x, double y)
    {
        if (!isEmpty() && x < (constEnd() - 1)->key) {
            add(QCPGraphData(x, y));
            return;
        }
        if (mData.size() == mData.capacity()) Grow();
        mData.append(QCPGraphData(x, y));
    }

private:
    void Grow();
};

// A plain line through the points, without a mark at each; points are kept in ascending x.
// Adding a point is cheap: 16 bytes in TSeriesData, and one redraw after the event that added
// them. Points come and go only through AddXY and Clear.
class TFastLineSeries : public QCPGraph {
public:
    explicit TFastLineSeries(TChart* chart);

    // Removes every point and returns their memory.
    void Clear();

    // Adds the point (x, y); returns its index. Every point is drawn in the series' colour and
    // unlabelled. A non-finite ordinate is kept as NaN: the line shows a gap there and the axes
    // scale to the finite points.
    int AddXY(double x, double y, std::string_view label = "", TColor colour = clTeeColor);

    int Count() const { return points_->size(); }

    // The extent of the points with a finite ordinate, as QCPGraph gives it but without a walk
    // over the points: rescaling the axes stays cheap however many there are.
    QCPRange getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth) const override;
    QCPRange getValueRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth,
                           const QCPRange& inKeyRange = QCPRange()) const override;

private:
    // The points' container is the series' own: replacing it would lose the kept extent.
    using QCPGraph::addData;
    using QCPGraph::setData;

    // Bounds of the finite points, kept as they arrive; empty while lower > upper.
    struct Extent {
        double lower = std::numeric_limits<double>::infinity();
        double upper = -std::numeric_limits<double>::infinity();

        void Include(double v)
        {
            if (v < lower) lower = v;
            if (v > upper) upper = v;
        }
        bool Empty() const { return lower > upper; }
    };

    TChart* chart_;
    TSeriesData* points_; // owned by QCPGraph, shared with data()
    Extent keys_, values_;
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
    if (std::isfinite(y)) {
        keys_.Include(x);
        values_.Include(y);
    } else {
        y = std::numeric_limits<double>::quiet_NaN();
    }
    points_->Append(x, y);
    chart_->ScheduleRedraw();
    return points_->size() - 1;
}
