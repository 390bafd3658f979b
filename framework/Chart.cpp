#include "Chart.h"

#include <algorithm>
#include <type_traits>

#ifdef __linux__
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace {

constexpr qsizetype kFirstCapacity = 256;
constexpr std::size_t kHugePage = 2 << 20;
constexpr qsizetype kHugePagePoints = kHugePage / sizeof(QCPGraphData);
constexpr qsizetype kHeaderPoints = 4; // room for Qt's and malloc's headers in a block

// Faulting in a big block one 4 KiB page at a time costs more than filling it; huge pages cut
// the faults 512-fold. The advice covers the allocator's whole mapping, so that growing it by
// realloc still finds a single mapping to move.
void AdviseHugePages([[maybe_unused]] void* block)
{
#ifdef __linux__
    const std::size_t size = malloc_usable_size(block);
    if (size < kHugePage) return;
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<std::uintptr_t>(block) & ~(page - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(block) + size + page - 1) & ~(page - 1);
    madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

} // namespace

// Qt grows a list to a power of two bytes, which with malloc's header comes to just over 32 bytes
// a point held right after growing. Here the storage grows by about half, by realloc: QList keeps
// its storage in its one member, which a standard-layout class lets us reach. realloc moves a big
// block by remapping its pages; a block of whole huge pages moves by whole page tables, where any
// other move makes the next walk over the points fault every page in again.
void TSeriesData::Grow()
{
    using Storage = QArrayDataPointer<QCPGraphData>;
    static_assert(std::is_standard_layout_v<decltype(mData)> && sizeof(mData) == sizeof(Storage));
    qsizetype capacity = std::max(kFirstCapacity, mData.capacity() + mData.capacity() / 2);
    if (capacity >= 2 * kHugePagePoints)
        capacity = (capacity + kHeaderPoints + kHugePagePoints / 2) / kHugePagePoints * kHugePagePoints - kHeaderPoints;
    capacity = std::max(capacity, mData.size() + 1);
    auto& storage = *reinterpret_cast<Storage*>(&mData);
    if (storage.needsDetach()) {
        mData.reserve(capacity); // the first block, or one shared with a copy of the data
    } else {
        storage->reallocate(capacity, QArrayData::KeepSize);
    }
    AdviseHugePages(storage.d_ptr());
}

TFastLineSeries::TFastLineSeries(TChart* chart) : QCPGraph(chart->xAxis, chart->yAxis), chart_(chart)
{
    QSharedPointer<TSeriesData> points(new TSeriesData);
    points_ = points.get();
    setData(points);
    setLineStyle(lsLine);
    setScatterStyle(QCPScatterStyle::ssNone);
}

void TFastLineSeries::Clear()
{
    points_->clear();
    points_->squeeze(); // clear() alone keeps the storage of the largest plot so far
    keys_ = values_ = Extent();
    chart_->ScheduleRedraw();
}

QCPRange TFastLineSeries::getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain) const
{
    if (inSignDomain != QCP::sdBoth) return QCPGraph::getKeyRange(foundRange, inSignDomain);
    foundRange = !keys_.Empty();
    return foundRange ? QCPRange(keys_.lower, keys_.upper) : QCPRange();
}

QCPRange TFastLineSeries::getValueRange(bool& foundRange, QCP::SignDomain inSignDomain, const QCPRange& inKeyRange) const
{
    if (inSignDomain != QCP::sdBoth || inKeyRange != QCPRange())
        return QCPGraph::getValueRange(foundRange, inSignDomain, inKeyRange);
    foundRange = !values_.Empty();
    return foundRange ? QCPRange(values_.lower, values_.upper) : QCPRange();
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
