// The chart module: draws a run's plot as the main window's chart draws it, 544 x 446 pixels,
// into PNG or SVG bytes. Needs no display.
#include "ChartModule.h"

#include "Application.h"
#include "Exception.h"
#include "MainForm.h"

#include <QBuffer>
#include <QImage>
#include <QSvgGenerator>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>
#include <span>
#include <string>

namespace {

constexpr int kWidth = 544;
constexpr int kHeight = 446;
constexpr int kDotsPerInch = 96;

void WriteSvg(TChart& chart, QIODevice& output)
{
    QSvgGenerator svg;
    svg.setOutputDevice(&output);
    svg.setSize(QSize(kWidth, kHeight));
    svg.setViewBox(QRect(0, 0, kWidth, kHeight));
    svg.setTitle(chart.Title());
    QCPPainter painter;
    if (!painter.begin(&svg)) throw Exception("Не удалось начать рисование графика в SVG.");
    chart.toPainter(&painter, kWidth, kHeight);
    if (!painter.end()) throw Exception("Не удалось нарисовать график в SVG.");
}

void WritePng(TChart& chart, QIODevice& output)
{
    QImage image = chart.toPixmap(kWidth, kHeight).toImage();
    const int dotsPerMeter = static_cast<int>(kDotsPerInch / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    if (image.isNull() || !image.save(&output, "PNG")) throw Exception("Не удалось нарисовать график в PNG.");
}

// The command line's stderr is for its own messages, not for Qt's remarks on the environment.
void ReportOnlyQtFailures(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "rootfinder-cli: %s\n", qPrintable(message));
}

QByteArray DrawChart(const PlotPoint* points, std::size_t count, bool svg)
{
    // The chart is the main window's own, built from its form description, on no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(ReportOnlyQtFailures);
    Application->Initialize();
    const auto form = std::make_unique<TForm1>(nullptr);
    form->ensurePolished(); // the form's fonts come with its style sheet
    TChart& chart = *form->Chart;
    chart.GetSeries(0)->Clear();
    for (const PlotPoint& point : std::span(points, count)) chart.GetSeries(0)->AddXY(point.x, point.y, "", clTeeColor);
    chart.Redraw();

    QByteArray image;
    QBuffer output(&image);
    output.open(QIODevice::WriteOnly);
    if (svg) WriteSvg(chart, output);
    else WritePng(chart, output);
    return image;
}

void CopyMessage(const std::string& message, char* error, std::size_t errorSize)
{
    if (errorSize == 0) return;
    const std::size_t length = std::min(message.size(), errorSize - 1);
    std::copy_n(message.data(), length, error);
    error[length] = '\0';
}

} // namespace

ROOTFINDER_CHART_API int RootfinderRenderChart(const PlotPoint* points, std::size_t count, int svg,
                                               ChartBytesSink sink, void* context, char* error, std::size_t errorSize)
{
    try {
        const QByteArray image = DrawChart(points, count, svg != 0);
        sink(context, image.constData(), static_cast<std::size_t>(image.size()));
        return 1;
    } catch (const Exception& failure) {
        CopyMessage(failure.Message, error, errorSize);
    } catch (const std::bad_alloc&) {
        CopyMessage("Недостаточно памяти, чтобы нарисовать график.", error, errorSize);
    } catch (...) {
        CopyMessage("Непредвиденная ошибка при рисовании графика.", error, errorSize);
    }
    return 0;
}
