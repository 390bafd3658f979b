#include "ChartExport.h"

#include "Application.h"
#include "Exception.h"
#include "MainForm.h"

#include <QFileInfo>
#include <QSvgGenerator>

#include <cstdio>
#include <memory>

namespace {

constexpr int kWidth = 544;
constexpr int kHeight = 446;

void WriteSvg(TChart& chart, const QString& file)
{
    QSvgGenerator svg;
    svg.setFileName(file);
    svg.setSize(QSize(kWidth, kHeight));
    svg.setViewBox(QRect(0, 0, kWidth, kHeight));
    svg.setTitle(chart.Title());
    QCPPainter painter;
    if (!painter.begin(&svg)) throw Exception("Не удалось создать файл «" + file.toStdString() + "».");
    chart.toPainter(&painter, kWidth, kHeight);
    if (!painter.end()) throw Exception("Не удалось записать файл «" + file.toStdString() + "».");
}

// The command line's stderr is for its own messages, not for Qt's remarks on the environment.
void ReportOnlyQtFailures(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

void ExportChart(const std::vector<PlotPoint>& points, const std::string& file)
{
    const QString fileName = QString::fromStdString(file);
    const QString extension = QFileInfo(fileName).suffix().toLower();
    if (extension != "png" && extension != "svg")
        throw Exception("Не понимаю, в каком формате рисовать «" + file +
                        "»: имя файла графика должно оканчиваться на .png или .svg.");

    // The chart is the main window's own, built from its form description, on no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(ReportOnlyQtFailures);
    Application->Initialize();
    const auto form = std::make_unique<TForm1>(nullptr);
    form->ensurePolished(); // the form's fonts come with its style sheet
    TChart& chart = *form->Chart;
    chart.GetSeries(0)->Clear();
    for (const PlotPoint& point : points) chart.GetSeries(0)->AddXY(point.x, point.y, "", clTeeColor);
    chart.Redraw();

    if (extension == "svg") {
        WriteSvg(chart, fileName);
    } else if (!chart.savePng(fileName, kWidth, kHeight)) {
        throw Exception("Не удалось записать файл «" + file + "».");
    }
}
