#pragma once
// The chart's line series and the storage of its points, over QCustomPlot's graph and its public
// data container, with the summary of the points that a redraw reads (SeriesSummary.h).
#include "framework/gui/SeriesSummary.h"

#include <qcustomplot.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>

// A plain line through the points, without a mark at each; points are kept in ascending x.
// Adding a point is cheap: 16 bytes in the graph's container, and one redraw after the event that
// added them. Points come and go only through AddXY and Clear.
//
// Room is best reserved up front; without that the storage grows by half when full, which holds
// at most 32 bytes a point right after growing.
//
// A redraw draws at most four points per pixel column (and the gaps), chosen from the summary
// kept beside the points: its cost follows the chart's width, not the number of points, and the
// line is the one all the points draw.
class TFastLineSeries : public QCPGraph {
    Q_OBJECT

public:
    // A series drawn on the plot's two axes. `changed` is called once after each event that added
    // or removed points: the chart redraws there.
    TFastLineSeries(QCPAxis* keyAxis, QCPAxis* valueAxis, std::function<void()> changed);

    // Removes every point and returns their memory.
    void Clear();

    // A hint: `points` points are about to be added. Their room is taken once, now.
    void Reserve(std::size_t points);

    // Adds the point (x, y). A non-finite ordinate is kept as NaN: the line shows a gap there and
    // the axes scale to the finite points.
    void AddXY(double x, double y);

    // Adds the points (xs[i], ys[i]) as AddXY would one by one; where they rise from beyond the
    // last point, as a run's do, the container takes them in one pass.
    void AddBlock(const double* xs, const double* ys, std::size_t count);

    int Count() const { return points_.size(); }

    // The point whose x is nearest to `x` (the earlier one of two as near); null without points.
    const QCPGraphData* NearestInX(double x) const;

    // The extent of the points with a finite ordinate, as QCPGraph gives it but without a walk
    // over the points: rescaling the axes stays cheap however many there are.
    QCPRange getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth) const override;
    QCPRange getValueRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth,
                           const QCPRange& inKeyRange = QCPRange()) const override;

protected:
    // The points of [begin, end) that draw the line at the key axis' pixel columns: for each
    // column its first and last point and those of its lowest and highest ordinate.
    void getOptimizedLineData(QVector<QCPGraphData>* lineData, const QCPGraphDataContainer::const_iterator& begin,
                              const QCPGraphDataContainer::const_iterator& end) const override;

private:
    // The points' container is the series' own: replacing it would lose the kept extent and room.
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

    // The point as stored: a finite one widens the extents, any other becomes a gap.
    QCPGraphData StoredPoint(double x, double y);
    // Makes room for `points` points in all, at once.
    void MakeRoom(qsizetype points);
    // A point before the last one, put in its place.
    void Insert(const QCPGraphData& point);
    void QueueRedraw();
    PointsView View() const;

    // QCPGraphData's constructors are calls into the library, which would be one a point; a
    // point is made inline instead, as a copy of this one with its two public fields set.
    static const QCPGraphData kBlankPoint;

    std::function<void()> changed_;
    QCPGraphDataContainer& points_; // the graph's own, shared with data()
    QVector<QCPGraphData> block_;   // AddBlock's points on their way in
    qsizetype room_ = 0;
    Extent keys_, values_;
    SeriesSummary summary_;
    mutable std::vector<std::size_t> drawn_; // a redraw's points, kept for the next one
    bool redrawQueued_ = false;
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

inline QCPGraphData TFastLineSeries::StoredPoint(double x, double y)
{
    if (std::isfinite(y)) {
        keys_.Include(x);
        values_.Include(y);
    } else {
        y = GapValue(y);
    }
    QCPGraphData point = kBlankPoint;
    point.key = x;
    point.value = y;
    return point;
}

inline void TFastLineSeries::AddXY(double x, double y)
{
    const QCPGraphData point = StoredPoint(x, y);
    if (points_.size() == room_) MakeRoom(points_.size() + std::max<qsizetype>(256, points_.size() / 2));
    if (!points_.isEmpty() && x < (points_.constEnd() - 1)->key) Insert(point);
    else points_.add(point);
    if (points_.size() % SeriesSummary::kLeafPoints == 0) summary_.Extend(View());
    if (!redrawQueued_) QueueRedraw();
}
