#include "framework/gui/PlotSummary.h"

#include "framework/base/Conversions.h"
#include "framework/gui/Series.h"

#include <cmath>

namespace {

// Entries of a list spoken before "и ещё N".
constexpr std::size_t kListed = 8;

bool StrictlyOppositeSigns(double f1, double f2) { return (f1 < 0 && f2 > 0) || (f1 > 0 && f2 < 0); }

// 1 точка, 2 точки, 5 точек, 21 точка.
QString Points(std::size_t n)
{
    const std::size_t last = n % 10, lastTwo = n % 100;
    const char* word = "точек";
    if (last == 1 && lastTwo != 11) word = "точка";
    else if (last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14)) word = "точки";
    return QString::number(n) + " " + word;
}

template <class Item, class Say>
QString Listed(const std::vector<Item>& items, Say say)
{
    QStringList said;
    for (std::size_t i = 0; i < items.size() && i < kListed; ++i) said << say(items[i]);
    QString text = said.join("; ");
    if (items.size() > kListed) text += "; и ещё " + QString::number(items.size() - kListed);
    return text;
}

} // namespace

QString ChartNumber(double value) { return QString::fromStdString(NumberText(value, 10)); }

PlotSummary SummarizePlot(const QCPGraphDataContainer& points)
{
    PlotSummary summary;
    summary.points = static_cast<std::size_t>(points.size());
    if (points.isEmpty()) return summary;
    summary.firstX = points.constBegin()->key;
    summary.lastX = (points.constEnd() - 1)->key;
    bool inGap = false;
    double previous = std::numeric_limits<double>::quiet_NaN();
    std::size_t index = 0;
    for (auto point = points.constBegin(); point != points.constEnd(); ++point, ++index) {
        const double f = OrdinateOf(point->value);
        if (std::isfinite(f)) {
            if (!summary.anyFinite) summary.lowestF = summary.highestF = f;
            summary.lowestF = std::min(summary.lowestF, f);
            summary.highestF = std::max(summary.highestF, f);
            summary.anyFinite = true;
            inGap = false;
        } else if (inGap) {
            summary.notFinite.back().to = point->key;
        } else {
            summary.notFinite.push_back({point->key, point->key});
            inGap = true;
        }
        if (index > 0 && StrictlyOppositeSigns(previous, f)) {
            summary.signChanges.push_back(index - 1);
            summary.signChangeSpans.push_back({(point - 1)->key, point->key});
        }
        previous = f;
    }
    return summary;
}

QString SummaryText(const PlotSummary& s)
{
    if (s.points == 0) return "На графике нет точек.";
    QString text = "На графике " + Points(s.points) + ", x от " + ChartNumber(s.firstX) + " до " + ChartNumber(s.lastX);
    text += s.anyFinite ? ", f от " + ChartNumber(s.lowestF) + " до " + ChartNumber(s.highestF) + " в конечных точках"
                        : ", ни одного конечного значения f";
    text += ". f не конечна: ";
    text += s.notFinite.empty() ? "нигде" : Listed(s.notFinite, [](const PlotSummary::Span& span) {
        return span.from == span.to ? "при x = " + ChartNumber(span.from)
                                    : "при x от " + ChartNumber(span.from) + " до " + ChartNumber(span.to);
    });
    text += ". Смены знака между соседними точками: ";
    text += s.signChangeSpans.empty()
                ? "нет"
                : QString::number(s.signChangeSpans.size()) + ", " +
                      Listed(s.signChangeSpans, [](const PlotSummary::Span& span) {
                          return "между x = " + ChartNumber(span.from) + " и " + ChartNumber(span.to);
                      });
    return text + ".";
}
