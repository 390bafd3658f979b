#include "framework/gui/Series.h"

#include "os/MemoryAdvice.h"

#include <utility>

const QCPGraphData TFastLineSeries::kBlankPoint;

TFastLineSeries::TFastLineSeries(QCPAxis* keyAxis, QCPAxis* valueAxis, std::function<void()> changed)
    : QCPGraph(keyAxis, valueAxis), changed_(std::move(changed)), points_(*data())
{
    setLineStyle(lsLine);
    setScatterStyle(QCPScatterStyle::ssNone);
}

void TFastLineSeries::Clear()
{
    points_.clear();
    points_.squeeze(); // clear() alone keeps the storage of the largest plot so far
    room_ = 0;
    keys_ = values_ = Extent();
    summary_.Clear();
    std::vector<std::size_t>().swap(drawn_);
    QueueRedraw();
}

void TFastLineSeries::Reserve(std::size_t points)
{
    MakeRoom(static_cast<qsizetype>(std::min<std::size_t>(points, std::numeric_limits<qsizetype>::max())));
}

// The container offers no reserve of its own: it is handed a vector with the room, holding the
// points so far, and set() adopts that vector's storage, as a QVector copy shares it. The points
// only ever go at the end or are moved within (Insert), never into the container's room at the
// front, so the room counted here is the storage's.
void TFastLineSeries::MakeRoom(qsizetype points)
{
    if (points <= room_) return;
    summary_.Reserve(static_cast<std::size_t>(points));
    QVector<QCPGraphData> storage;
    storage.reserve(points);
    for (auto point = points_.constBegin(); point != points_.constEnd(); ++point) storage.append(*point);
    AdviseHugePages(storage.constData(), static_cast<std::size_t>(storage.capacity()) * sizeof(QCPGraphData));
    room_ = storage.capacity();
    points_.set(storage, true);
}

// Appended as a copy of the last point, then moved into place: a sorted insert of the container's
// own would take room at the front, which the room counted here cannot see.
void TFastLineSeries::Insert(const QCPGraphData& point)
{
    const QCPGraphData last = *(points_.constEnd() - 1);
    points_.add(last);
    const auto end = points_.end() - 1;
    const auto at = std::lower_bound(points_.begin(), end, point.key,
                                     [](const QCPGraphData& stored, double key) { return stored.key < key; });
    std::move_backward(at, end, end + 1);
    *at = point;
    summary_.Forget(static_cast<std::size_t>(at - points_.begin()));
    summary_.Extend(View());
}

void TFastLineSeries::AddBlock(const double* xs, const double* ys, std::size_t count)
{
    std::size_t done = 0;
    // An empty container would adopt the block's storage instead of its own room: the first point
    // goes in alone.
    for (; done < count && (points_.isEmpty() || !(xs[done] > (points_.constEnd() - 1)->key)); ++done)
        AddXY(xs[done], ys[done]);
    if (done == count) return;
    block_.clear();
    for (std::size_t i = done; i < count; ++i) {
        if (i > done && !(xs[i] > xs[i - 1])) break; // out of order: from here one by one
        block_.append(StoredPoint(xs[i], ys[i]));
    }
    if (points_.size() + block_.size() > room_)
        MakeRoom(points_.size() + std::max<qsizetype>(block_.size(), points_.size() / 2));
    points_.add(block_, true);
    summary_.Extend(View());
    if (!redrawQueued_) QueueRedraw();
    for (std::size_t i = done + static_cast<std::size_t>(block_.size()); i < count; ++i) AddXY(xs[i], ys[i]);
}

void TFastLineSeries::QueueRedraw()
{
    redrawQueued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            redrawQueued_ = false;
            changed_();
        },
        Qt::QueuedConnection);
}

const QCPGraphData* TFastLineSeries::NearestInX(double x) const
{
    const auto begin = points_.constBegin();
    const auto end = points_.constEnd();
    if (begin == end) return nullptr;
    const auto after =
        std::lower_bound(begin, end, x, [](const QCPGraphData& point, double key) { return point.key < key; });
    if (after == begin) return &*after;
    if (after == end) return &*(after - 1);
    return x - (after - 1)->key <= after->key - x ? &*(after - 1) : &*after;
}

QCPRange TFastLineSeries::getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain) const
{
    if (inSignDomain != QCP::sdBoth) return QCPGraph::getKeyRange(foundRange, inSignDomain);
    foundRange = !keys_.Empty();
    return foundRange ? QCPRange(keys_.lower, keys_.upper) : QCPRange();
}

QCPRange TFastLineSeries::getValueRange(bool& foundRange, QCP::SignDomain inSignDomain,
                                        const QCPRange& inKeyRange) const
{
    if (inSignDomain != QCP::sdBoth || inKeyRange != QCPRange())
        return QCPGraph::getValueRange(foundRange, inSignDomain, inKeyRange);
    foundRange = !values_.Empty();
    return foundRange ? QCPRange(values_.lower, values_.upper) : QCPRange();
}

static_assert(sizeof(QCPGraphData) == 2 * sizeof(double), "the summary reads the points as pairs of doubles");

PointsView TFastLineSeries::View() const
{
    if (points_.isEmpty()) return {};
    const QCPGraphData& first = *points_.constBegin();
    return {&first.key, &first.value, 2, static_cast<std::size_t>(points_.size())};
}

void TFastLineSeries::getOptimizedLineData(QVector<QCPGraphData>* lineData,
                                           const QCPGraphDataContainer::const_iterator& begin,
                                           const QCPGraphDataContainer::const_iterator& end) const
{
    const QCPAxis* axis = keyAxis();
    if (!lineData || !axis || axis->scaleType() != QCPAxis::stLinear)
        return QCPGraph::getOptimizedLineData(lineData, begin, end);
    // Columns of the device's pixels, so a chart on a dense screen keeps its detail.
    const double pixels = axis->axisRect()->width() * std::max(1.0, parentPlot()->bufferDevicePixelRatio());
    const auto columns = static_cast<std::size_t>(std::max(1.0, pixels));
    const QCPRange range = axis->range();
    drawn_.clear();
    summary_.Columns(View(), static_cast<std::size_t>(begin - points_.constBegin()),
                     static_cast<std::size_t>(end - points_.constBegin()), range.lower, range.upper, columns, drawn_);
    lineData->resize(static_cast<qsizetype>(drawn_.size()));
    const QCPGraphData* points = &*points_.constBegin();
    for (std::size_t i = 0; i < drawn_.size(); ++i) (*lineData)[static_cast<qsizetype>(i)] = points[drawn_[i]];
}
