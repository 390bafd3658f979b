#include "RootCheckDialog.h"

#include "Conversions.h"
#include "ui_RootCheckDialog.h"

#include <cmath>

namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

QString Number(double value) { return Text(FloatToStrF(value, ffGeneral, 17, 0)); }

QString Interval(double lower, double upper) { return "[" + Number(lower) + "; " + Number(upper) + "]"; }

QString VerdictText(const LineVerdict& v)
{
    QString text;
    switch (v.verdict) {
    case Verdict::NotFinite: text = "не число: корень или f в нём бесконечны или не определены"; break;
    case Verdict::Root: text = "корень: в интервале ровно один нуль f"; break;
    case Verdict::Pole: text = "не корень: смена знака от полюса x = 0"; break;
    case Verdict::NoRoot: text = "не корень: нуля f ближе EPS нет"; break;
    case Verdict::Undecided: text = "не решено: доказать не удалось"; break;
    }
    if (!v.inStep && v.verdict != Verdict::NotFinite) text += "; уточнение ушло из своего шага";
    return text;
}

} // namespace

TRootCheckDialog::TRootCheckDialog(QWidget* parent, const CalculationInputs& inputs, const std::vector<RootRecord>& lines,
                                   const RunVerdicts& verdicts)
    : QDialog(parent)
{
    Ui::TRootCheckDialog form;
    form.setupUi(this);
    Summary = form.Summary;
    Lines = form.Lines;
    Missed = form.Missed;

    const double a = std::fmin(inputs.a, inputs.b), b = std::fmax(inputs.a, inputs.b);
    Summary->setText("Расчёт на отрезке [" + Number(a) + "; " + Number(b) + "], шаг h = " + Number(inputs.h) +
                     ", EPS = " + Number(inputs.eps) +
                     ". Вердикт доказан в интервальной арифметике; «корень» — ровно один нуль f в "
                     "доказанном интервале не дальше EPS от найденного значения.");
    Lines->setRowCount(static_cast<int>(lines.size()));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const RootRecord& line = lines[i];
        const LineVerdict& v = verdicts.lines[i];
        const QString cells[] = {QString::number(line.number), Text(FloatToStrF(line.root, ffFixed, 8, 6)),
                                 Text(FloatToStrF(line.fRoot, ffGeneral, 6, 0)), VerdictText(v),
                                 v.verdict == Verdict::Root ? Interval(v.lower, v.upper) : QString()};
        for (int column = 0; column < 5; ++column)
            Lines->setItem(static_cast<int>(i), column, new QTableWidgetItem(cells[column]));
    }
    Lines->resizeColumnsToContents();

    for (const RunZero& zero : verdicts.zeros) {
        const bool decided = zero.enclosure.status == EnclosureStatus::Root;
        if (decided && !zero.lines.empty()) continue;
        Missed->addItem((decided ? "нуль в " : "не решено: ") + Interval(zero.enclosure.lower, zero.enclosure.upper));
    }
    if (Missed->count() == 0) Missed->addItem("нет: сканирование нашло все нули f на отрезке");
}
