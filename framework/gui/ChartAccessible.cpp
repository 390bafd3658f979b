#include "framework/gui/ChartAccessible.h"

#include "framework/gui/Chart.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>

namespace {

// The point the read-out shows: named by the read-out, where the ring is drawn.
class ChartPointAccessible final : public QAccessibleInterface {
public:
    explicit ChartPointAccessible(TChart* chart) : chart_(chart) {}

    bool isValid() const override { return !chart_.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return chart_ ? chart_->window()->windowHandle() : nullptr; }
    QVector<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(QAccessible::Relation) const override
    {
        return {};
    }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(chart_.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        return chart_ && t == QAccessible::Name ? chart_->ReadoutLine() : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return QAccessible::StaticText; }

    QRect rect() const override
    {
        const QCPGraphData* point = chart_ ? chart_->ReadoutPoint() : nullptr;
        if (!point) return {};
        const QPoint at(qRound(chart_->xAxis->coordToPixel(point->key)),
                        qRound(chart_->yAxis->coordToPixel(point->value)));
        return QRect(chart_->mapToGlobal(at) - QPoint(4, 4), QSize(9, 9));
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        const bool shown = chart_ && chart_->ReadoutPoint();
        state.invisible = !shown;
        state.focusable = true;
        state.focused = shown && chart_->hasFocus();
        return state;
    }

private:
    QPointer<TChart> chart_;
};

class ChartAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit ChartAccessible(TChart* chart)
        : QAccessibleWidget(chart, QAccessible::Chart), point_(new ChartPointAccessible(chart)),
          pointId_(QAccessible::registerAccessibleInterface(point_))
    {
    }
    ~ChartAccessible() override { QAccessible::deleteAccessibleInterface(pointId_); }

    TChart* Chart() const { return static_cast<TChart*>(widget()); }

    // The summary changes with every run; the keys it is followed by are the form's.
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Description) {
            const QString keys = widget()->accessibleDescription();
            return Chart()->SummarySentence() + (keys.isEmpty() ? QString() : " " + keys);
        }
        if (t == QAccessible::Value) return Chart()->ReadoutLine();
        return QAccessibleWidget::text(t);
    }

    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override { return index == 0 ? point_ : nullptr; }
    int indexOfChild(const QAccessibleInterface* child) const override { return child == point_ ? 0 : -1; }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        return point_->rect().contains(x, y) ? point_ : nullptr;
    }
    QAccessibleInterface* focusChild() const override { return point_->state().focused ? point_ : nullptr; }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // The value, as a number: the abscissa of the read-out's point, over the points' extent.
    QVariant currentValue() const override
    {
        const QCPGraphData* point = Chart()->ReadoutPoint();
        return point ? QVariant(point->key) : QVariant();
    }
    void setCurrentValue(const QVariant& value) override { Chart()->MoveCursorTo(value.toDouble()); }
    QVariant maximumValue() const override { return Extent().upper; }
    QVariant minimumValue() const override { return Extent().lower; }
    QVariant minimumStepSize() const override { return 0.0; }

private:
    QCPRange Extent() const
    {
        const QCPGraphDataContainer& points = *Chart()->GetSeries(0)->data();
        if (points.isEmpty()) return {};
        return QCPRange(points.constBegin()->key, (points.constEnd() - 1)->key);
    }

    ChartPointAccessible* point_;
    QAccessible::Id pointId_;
};

QAccessibleInterface* ChartInterface(const QString& className, QObject* object)
{
    auto* chart = qobject_cast<TChart*>(object);
    return chart && className == TChart::staticMetaObject.className() ? new ChartAccessible(chart) : nullptr;
}

} // namespace

void InstallChartAccessibility()
{
    static const bool installed = (QAccessible::installFactory(ChartInterface), true);
    (void)installed;
}
