#include "ui/RootCheckDialog.h"

#include "framework/base/Conversions.h"
#include "ui/ui_RootCheckDialog.h"

#include <QHeaderView>
#include <QPushButton>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <stdexcept>

namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

QString Number(double value) { return Text(NumberText(value)); }

QString Interval(double lower, double upper) { return "[" + Number(lower) + "; " + Number(upper) + "]"; }

// A proven upper bound in three significant digits, rounded up so that what is shown still bounds.
QString BoundText(double bound)
{
    const double unit = std::pow(10.0, std::floor(std::log10(bound)) - 2);
    const double shown = std::ceil(bound / unit) * unit;
    std::string text = NumberText(shown, 3);
    if (StrToFloat(text) < bound) text = NumberText(shown + unit, 3);
    return "≤ " + Text(text);
}

QString VerdictText(const LineVerdict& v)
{
    QString text;
    switch (v.verdict) {
    case Verdict::NotFinite: text = "не число: корень или f в нём бесконечны или не определены"; break;
    case Verdict::Root:
        text = "корень: нуль f не дальше EPS от найденного значения";
        if (v.poleInStep) text += "; в шаге есть и полюс x = 0, смена знака могла прийти от него";
        break;
    case Verdict::Pole: text = "не корень: смена знака от полюса x = 0"; break;
    case Verdict::NoRoot: text = "не корень: нуля f ближе EPS нет"; break;
    case Verdict::Undecided: text = "не решено: доказать не удалось"; break;
    }
    if (!v.inStep && v.verdict != Verdict::NotFinite) text += "; уточнение ушло из своего шага";
    return text;
}

// What a column shows of a root line, found by the column's caption in the form.
struct Column {
    const char* caption;
    QString (*text)(const RootRecord& line, const LineVerdict& verdict);
};

// Only a proven root has a distance and an interval.
const Column kColumns[] = {
    {"строка", [](const RootRecord& line, const LineVerdict&) { return QString::number(line.number); }},
    {"корень", [](const RootRecord& line, const LineVerdict&) { return Text(RootText(line.root)); }},
    {"f(корень)", [](const RootRecord& line, const LineVerdict&) { return Text(NumberText(line.fRoot, 6)); }},
    {"вердикт", [](const RootRecord&, const LineVerdict& v) { return VerdictText(v); }},
    {"до нуля", [](const RootRecord&,
                   const LineVerdict& v) { return v.verdict == Verdict::Root ? BoundText(v.distance) : QString(); }},
    {"доказанный интервал",
     [](const RootRecord&, const LineVerdict& v) {
         return v.verdict == Verdict::Root ? Interval(v.lower, v.upper) : QString();
     }},
};

// The table's columns as the form declares them, in its order. A caption the dialog does not
// know is the form and the code gone apart: raised, not shown as a blank column.
std::vector<const Column*> FormColumns(const QTableWidget& table)
{
    std::vector<const Column*> columns;
    for (int i = 0; i < table.columnCount(); ++i) {
        const QTableWidgetItem* header = table.horizontalHeaderItem(i);
        const QString caption = header ? header->text() : QString();
        const auto known = std::find_if(std::begin(kColumns), std::end(kColumns),
                                        [&](const Column& column) { return caption == column.caption; });
        if (known == std::end(kColumns))
            throw std::logic_error("RootCheckDialog.ui: the root table's column «" + caption.toStdString() +
                                   "» has no text");
        columns.push_back(known);
    }
    return columns;
}

} // namespace

TRootCheckDialog::TRootCheckDialog(QWidget* parent, const CalculationInputs& inputs,
                                   const std::vector<RootRecord>& lines, const RunVerdicts& verdicts,
                                   bool afterFailedRun)
    : QDialog(parent)
{
    Ui::TRootCheckDialog form;
    form.setupUi(this);
    Notice = form.Notice;
    Summary = form.Summary;
    Lines = form.Lines;
    Missed = form.Missed;
    // Enter closes the dialog from the table and the list too, as Esc does.
    form.Buttons->button(QDialogButtonBox::Close)->setDefault(true);

    const QString run = "a = " + Number(inputs.a) + ", b = " + Number(inputs.b) + ", h = " + Number(inputs.h) +
                        ", EPS = " + Number(inputs.eps);
    if (afterFailedRun) {
        Notice->setText("Последний расчёт завершился ошибкой. Ниже — вердикты последнего завершённого расчёта: " + run +
                        ".");
        Notice->show();
    }
    Summary->setText("Расчёт " + run +
                     ". Вердикт доказан в интервальной арифметике; «корень» — нуль f не дальше EPS от найденного "
                     "значения, «до нуля» — доказанная оценка расстояния до него, «доказанный интервал» — самый "
                     "узкий интервал из чисел double, в котором он лежит.");
    const std::vector<const Column*> columns = FormColumns(*Lines);
    Lines->setRowCount(static_cast<int>(lines.size()));
    for (std::size_t row = 0; row < lines.size(); ++row)
        for (std::size_t column = 0; column < columns.size(); ++column)
            Lines->setItem(static_cast<int>(row), static_cast<int>(column),
                           new QTableWidgetItem(columns[column]->text(lines[row], verdicts.lines[row])));
    // Sized in the font the dialog is shown in, and again whenever it changes; a row is as tall as
    // its interval needs at the width it gets.
    for (int column = 0; column + 1 < Lines->columnCount(); ++column)
        Lines->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    Lines->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    for (const RunZero& zero : verdicts.zeros) {
        const bool decided = zero.enclosure.status == EnclosureStatus::Root;
        if (decided && !zero.lines.empty()) continue;
        Missed->addItem((decided ? "нуль в " : "не решено: ") + Interval(zero.enclosure.lower, zero.enclosure.upper));
    }
    if (verdicts.zeros.empty()) Missed->addItem("Нулей f на отрезке нет");
    else if (Missed->count() == 0) Missed->addItem("нет: сканирование нашло все нули f на отрезке");
}
