#include "ChartExport.h"

#include "Application.h"
#include "Exception.h"
#include "MainForm.h"

#include <QFileInfo>

#include <cstdio>
#include <memory>

namespace {

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
    chart.GetSeries(0)->Reserve(points.size());
    for (const PlotPoint& point : points) chart.GetSeries(0)->AddXY(point.x, point.y, "", clDefaultColor);
    chart.Redraw();
    chart.SaveImage(fileName);
}
