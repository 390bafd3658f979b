// The chart by keyboard: a read-out cursor moved along the points, zoom and pan around it, the
// menu at it, and the focus frame that shows where the keys go.
#include "framework/gui/Chart.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

namespace {

// A keypress zooms in to this share of the view, or out by its inverse.
constexpr double kZoomStep = 0.8;
// Shift with an arrow pans by this share of the view.
constexpr double kPanStep = 0.1;

std::size_t IndexOf(const QCPGraphDataContainer& points, const QCPGraphData* point)
{
    return static_cast<std::size_t>(point - &*points.constBegin());
}

} // namespace

void TChart::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    const bool left = key == Qt::Key_Left, right = key == Qt::Key_Right;
    if ((left || right) && modifiers == Qt::NoModifier) {
        StepCursor(right ? 1 : -1);
    } else if ((left || right) && modifiers == Qt::ControlModifier) {
        JumpToSignChange(right ? 1 : -1);
    } else if (modifiers == Qt::ShiftModifier && (left || right || key == Qt::Key_Up || key == Qt::Key_Down)) {
        // The view moves the way the arrow points, over the curve.
        if (left || right) xAxis->moveRange((right ? 1 : -1) * kPanStep * xAxis->range().size());
        else yAxis->moveRange((key == Qt::Key_Up ? 1 : -1) * kPanStep * yAxis->range().size());
        replot();
    } else if (key == Qt::Key_Plus || key == Qt::Key_Equal) {
        ZoomAroundCursor(kZoomStep);
    } else if (key == Qt::Key_Minus || key == Qt::Key_Underscore) {
        ZoomAroundCursor(1 / kZoomStep);
    } else if (key == Qt::Key_Home && modifiers == Qt::NoModifier) {
        Redraw();
    } else if (key == Qt::Key_F10 && modifiers == Qt::ShiftModifier) {
        OpenMenuAtCursor();
    } else {
        QCustomPlot::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TChart::StepCursor(int direction)
{
    const QCPGraphDataContainer& points = *series_.front()->data();
    if (points.isEmpty()) return;
    const std::size_t last = static_cast<std::size_t>(points.size()) - 1;
    if (!keyCursor_) { // the first press picks the point at the middle of the view
        PlaceCursor(IndexOf(points, series_.front()->NearestInX(xAxis->range().center())));
        return;
    }
    const std::size_t at = *keyCursor_;
    const std::size_t step = direction > 0 ? std::min(at + 1, last) : (at == 0 ? 0 : at - 1);
    const auto inView = points.findEnd(xAxis->range().upper, false) - points.findBegin(xAxis->range().lower, false);
    if (inView <= axisRect()->width()) {
        PlaceCursor(step);
        return;
    }
    // More points than pixel columns: the nearest point one column over, at least the next point.
    const double column = xAxis->coordToPixel((points.constBegin() + static_cast<qsizetype>(at))->key) + direction;
    const std::size_t over = IndexOf(points, series_.front()->NearestInX(xAxis->pixelToCoord(column)));
    PlaceCursor(direction > 0 ? std::max(over, step) : std::min(over, step));
}

void TChart::JumpToSignChange(int direction)
{
    if (!keyCursor_) {
        StepCursor(direction);
        if (!keyCursor_) return;
    }
    const std::vector<std::size_t>& changes = Summary().signChanges;
    // The cursor stops on the point before a change.
    if (direction > 0) {
        const auto next = std::upper_bound(changes.begin(), changes.end(), *keyCursor_);
        if (next != changes.end()) PlaceCursor(*next);
    } else {
        const auto next = std::lower_bound(changes.begin(), changes.end(), *keyCursor_);
        if (next != changes.begin()) PlaceCursor(*(next - 1));
    }
}

void TChart::MoveCursorTo(double x)
{
    const QCPGraphDataContainer& points = *series_.front()->data();
    if (const QCPGraphData* point = series_.front()->NearestInX(x)) PlaceCursor(IndexOf(points, point));
}

// Shown, announced, and brought into view when it has left it.
void TChart::PlaceCursor(std::size_t index)
{
    const QCPGraphData& point = *(series_.front()->data()->constBegin() + static_cast<qsizetype>(index));
    keyCursor_ = index;
    cursor_.reset();
    const bool leaves = !xAxis->range().contains(point.key);
    if (leaves) xAxis->setRange(point.key, xAxis->range().size(), Qt::AlignCenter);
    ShowPoint(&point);
    if (leaves) replot();
    else readoutLayer_->replot();
    AnnounceReadout();
}

void TChart::ZoomAroundCursor(double factor)
{
    const QCPGraphData* point = keyCursor_ ? shownPoint_ : nullptr;
    const bool finite = point && std::isfinite(point->value);
    xAxis->scaleRange(factor, point ? point->key : xAxis->range().center());
    yAxis->scaleRange(factor, finite ? point->value : yAxis->range().center());
    replot();
}

void TChart::OpenMenuAtCursor()
{
    QPoint at = axisRect()->rect().center();
    if (shownPoint_) {
        const QPoint ring(qRound(xAxis->coordToPixel(shownPoint_->key)),
                          qRound(yAxis->coordToPixel(shownPoint_->value)));
        if (axisRect()->rect().contains(ring)) at = ring;
    }
    contextMenu_->popup(mapToGlobal(at));
}

void TChart::AnnounceReadout()
{
    if (!QAccessible::isActive()) return;
    QAccessibleValueChangeEvent value(this, ReadoutLine());
    QAccessible::updateAccessibility(&value);
    QAccessibleInterface* point = QAccessible::queryAccessibleInterface(this)->child(0);
    QAccessibleEvent named(point, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    if (hasFocus()) {
        QAccessibleEvent focused(point, QAccessible::Focus);
        QAccessible::updateAccessibility(&focused);
    }
}

void TChart::focusInEvent(QFocusEvent* event)
{
    QCustomPlot::focusInEvent(event);
    if (keyCursor_) ShowPoint(&*(series_.front()->data()->constBegin() + static_cast<qsizetype>(*keyCursor_)));
    readoutLayer_->replot();
    update();
}

// The keyboard's read-out goes with the focus, unless to the chart's own menu.
void TChart::focusOutEvent(QFocusEvent* event)
{
    QCustomPlot::focusOutEvent(event);
    if (keyCursor_ && event->reason() != Qt::PopupFocusReason) {
        ShowPoint(nullptr);
        readoutLayer_->replot();
    }
    update();
}

void TChart::paintEvent(QPaintEvent* event)
{
    QCustomPlot::paintEvent(event);
    if (!hasFocus()) return;
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}
