#pragma once
// The chart and its line series, over QCustomPlot. The chart carries one fast line series; the
// chart's and the series' settings are properties of the chart, so a form description sets them.
#include <qcustomplot.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

// A colour as the chart library writes it (0x00BBGGRR), or clDefaultColor: the series' own colour.
using TColor = std::uint32_t;
inline constexpr TColor clDefaultColor = 0x20000000;

class TChart;

// The series' points: QCustomPlot's sorted container with a quick append for the usual case, a
// point at or after the last one; any other point takes the container's sorted insert. Room is
// best reserved up front; without that the storage grows by half when full, which holds at most
// 32 bytes a point right after growing.
class TSeriesData final : public QCPGraphDataContainer {
public:
    // Points the storage has room for.
    qsizetype Capacity() const { return mData.capacity(); }

    // Makes room for `points` points in all, at once.
    void Reserve(qsizetype points);

    void Append(double x, double y)
    {
        if (!isEmpty() && x < (constEnd() - 1)->key) {
            add(QCPGraphData(x, y));
            return;
        }
        if (mData.size() == mData.capacity()) Reserve(size() + std::max<qsizetype>(256, size() / 2));
        mData.append(Point(x, y));
    }

private:
    // A point made in place: QCPGraphData's constructors are calls into the library.
    static QCPGraphData Point(double x, double y)
    {
        struct {
            double key, value;
        } fields{x, y};
        return std::bit_cast<QCPGraphData>(fields);
    }
};

// A plain line through the points, without a mark at each; points are kept in ascending x.
// Adding a point is cheap: 16 bytes in TSeriesData, and one redraw after the event that added
// them. Points come and go only through AddXY and Clear.
class TFastLineSeries : public QCPGraph {
    Q_OBJECT

public:
    explicit TFastLineSeries(TChart* chart);

    // Removes every point and returns their memory.
    void Clear();

    // A hint: `points` points are about to be added. Their room is taken once, now.
    void Reserve(std::size_t points);

    // Adds the point (x, y); returns its index. Every point is drawn in the series' colour and
    // unlabelled. A non-finite ordinate is kept as NaN: the line shows a gap there and the axes
    // scale to the finite points.
    int AddXY(double x, double y, std::string_view label = "", TColor colour = clDefaultColor);

    int Count() const { return points_->size(); }
    qsizetype Capacity() const { return points_->Capacity(); }

    // The point whose x is nearest to `x` (the earlier one of two as near); null without points.
    const QCPGraphData* NearestInX(double x) const;

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
    // The series' component name: a form finds the series by it.
    Q_PROPERTY(QString seriesName READ SeriesName WRITE SetSeriesName)

public:
    // The size of the chart as designed, and of its pictures.
    static constexpr int kImageWidth = 544;
    static constexpr int kImageHeight = 446;

    explicit TChart(QWidget* parent = nullptr);

    TFastLineSeries* GetSeries(int index) const { return series_[static_cast<std::size_t>(index)]; }
    int SeriesCount() const { return static_cast<int>(series_.size()); }

    QString Title() const;
    void SetTitle(const QString& title);
    bool LegendVisible() const;
    void SetLegendVisible(bool visible);
    QColor SeriesColor() const;
    void SetSeriesColor(const QColor& colour);
    QString SeriesName() const;
    void SetSeriesName(const QString& name);

    // Asks for one redraw once control is back in the event loop.
    void ScheduleRedraw()
    {
        if (redrawPending_) return;
        redrawPending_ = true;
        QMetaObject::invokeMethod(this, &TChart::Redraw, Qt::QueuedConnection);
    }

    // Scales the axes to the points present and draws the chart now: the full view.
    void Redraw();

    // The chart as it stands, kImageWidth x kImageHeight pixels, into a PNG, SVG or PDF file
    // chosen by the file's extension, written whole or not at all (an existing file is kept on any
    // failure). Raises Exception naming the file and the reason when it cannot.
    void SaveImage(const QString& file);

    // The same picture as a PNG, SVG or PDF ("png", "svg", "pdf") written to `output`; false
    // when it cannot.
    bool WriteImage(QIODevice& output, const QString& format);

    // The same picture, as an image.
    QImage Image();

    // The read-out of the point under the mouse, as shown; empty when none is shown.
    QString Readout() const;

    // The menu a right click opens.
    QMenu* ContextMenu() const { return contextMenu_; }

protected:
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void ApplyFont();
    void BuildContextMenu();
    void AskAndSaveImage();
    void CopyImage();
    bool WritePdf(QIODevice& output);

    // Shows x and f(x) of the series' point nearest in x to the cursor at `cursor`, or nothing
    // when the cursor is off the plot area or there are no points.
    void PlaceReadout(QPoint cursor);
    void HideReadout();

    QCPTextElement* title_;
    std::vector<TFastLineSeries*> series_; // owned by QCustomPlot
    bool redrawPending_ = false;

    QMenu* contextMenu_;
    QPoint rightPressAt_;
    bool rightDragged_ = false;

    // The read-out is drawn on a layer of its own, so following the mouse redraws only it.
    QCPLayer* readoutLayer_;
    QCPItemText* readoutText_;
    QCPItemTracer* readoutMark_;
    std::optional<QPoint> cursor_; // over the chart, as last seen
};

// A non-finite ordinate is stored as a NaN, which the line shows as a gap; an infinity keeps its
// sign in the NaN's payload, so the read-out still names it.
inline constexpr std::uint64_t kPlusInfinityGap = 0x7FF8'0000'0000'0001, kMinusInfinityGap = 0xFFF8'0000'0000'0001;

inline double GapValue(double y)
{
    if (std::isnan(y)) return std::numeric_limits<double>::quiet_NaN();
    return std::bit_cast<double>(y > 0 ? kPlusInfinityGap : kMinusInfinityGap);
}

// The ordinate a stored value stands for.
inline double OrdinateOf(double stored)
{
    const auto bits = std::bit_cast<std::uint64_t>(stored);
    if (bits == kPlusInfinityGap) return std::numeric_limits<double>::infinity();
    if (bits == kMinusInfinityGap) return -std::numeric_limits<double>::infinity();
    return stored;
}

inline int TFastLineSeries::AddXY(double x, double y, std::string_view, TColor)
{
    if (std::isfinite(y)) {
        keys_.Include(x);
        values_.Include(y);
    } else {
        y = GapValue(y);
    }
    points_->Append(x, y);
    chart_->ScheduleRedraw();
    return points_->size() - 1;
}
