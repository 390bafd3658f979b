// The chart module: draws a run's plot as the main window's chart draws it, 544 x 446 pixels,
// into PNG or SVG bytes. Needs no display.
#include "app/ChartModule.h"
#include "app/ModuleEntry.h"

#include "framework/base/Exception.h"
#include "framework/gui/Application.h"
#include "os/Desktop.h"
#include "ui/MainForm.h"

#include <QBuffer>
#include <QFile>

#include <cstdio>
#include <memory>
#include <span>
#include <string>

namespace {

// The command line's stderr is for its own messages, not for Qt's remarks on the environment.
void ReportOnlyQtFailures(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "rootfinder-cli: %s\n", qPrintable(message));
}

QByteArray DrawChart(const PlotPoint* points, std::size_t count, ChartFormat format)
{
    if (format == ChartFormat::Svg && !TChart::WritesSvg())
        throw Exception(std::string("Не могу нарисовать график: ") + TChart::kNoSvg + ", выберите PNG.");
    // The chart is the main window's own, built from its form description, on no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform reads its fonts from a folder: where Qt would not find them, the system's own.
    if (const std::string fonts = SystemFontFolder(); !fonts.empty() && !qEnvironmentVariableIsSet("QT_QPA_FONTDIR"))
        qputenv("QT_QPA_FONTDIR", QFile::encodeName(QString::fromStdString(fonts)));
    qInstallMessageHandler(ReportOnlyQtFailures);
    Application->Initialize();
    const auto form = std::make_unique<TForm1>(nullptr);
    form->ensurePolished(); // the form's fonts come with its style sheet
    TChart& chart = *form->Chart;
    chart.GetSeries(0)->Clear();
    chart.GetSeries(0)->Reserve(count);
    for (const PlotPoint& point : std::span(points, count)) chart.GetSeries(0)->AddXY(point.x, point.y);
    chart.Redraw();

    // Drawn as the window's «Сохранить график…» draws it, into memory: the command line writes
    // the bytes to the file itself, under a temporary name.
    QByteArray image;
    QBuffer output(&image);
    output.open(QIODevice::WriteOnly);
    if (!chart.WriteImage(output, format)) throw Exception("Не удалось нарисовать график.");
    return image;
}

} // namespace

extern "C" ROOTFINDER_MODULE_EXPORT int RootfinderChartModuleVersion() { return kChartModuleVersion; }

extern "C" ROOTFINDER_MODULE_EXPORT int RootfinderRenderChart(const PlotPoint* points, std::size_t count, int format,
                                                              ChartBytesSink sink, void* context, char* error,
                                                              std::size_t errorSize)
{
    return RunModuleEntry(
        [&] {
            const QByteArray image = DrawChart(points, count, static_cast<ChartFormat>(format));
            sink(context, image.constData(), static_cast<std::size_t>(image.size()));
        },
        error, errorSize, "Недостаточно памяти, чтобы нарисовать график.",
        "Непредвиденная ошибка при рисовании графика.");
}
