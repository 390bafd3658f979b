#include "framework/gui/Chart.h"

#include "framework/base/Conversions.h"
#include "framework/base/Exception.h"
#include "os/SaveFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFile>
#include <QPdfWriter>

namespace {

// The read-out belongs to the screen, not to a picture of the chart.
class ReadoutHidden {
public:
    explicit ReadoutHidden(QCPLayer& layer) : layer_(layer), wasVisible_(layer.visible()) { layer_.setVisible(false); }
    ~ReadoutHidden() { layer_.setVisible(wasVisible_); }

private:
    QCPLayer& layer_;
    bool wasVisible_;
};

} // namespace

void TChart::SaveImage(const QString& file)
{
    const std::string path = QFile::encodeName(file).toStdString();
    const auto format = ChartFormatOfExtension(QFileInfo(file).suffix().toStdString());
    if (!format)
        throw Exception("Не понимаю, в каком формате сохранить " + QuoteForMessage(path) +
                        ": имя файла должно оканчиваться на .png, .svg или .pdf.");
    if (format == ChartFormat::Svg && !WritesSvg())
        throw Exception("Не могу сохранить " + QuoteForMessage(path) + ": " + TChart::kNoSvg +
                        ", выберите PNG или PDF.");
    // Written as the command line writes its files: under a temporary name beside the old file,
    // which is replaced only by a whole picture.
    TSaveFile output(path);
    QBuffer picture;
    picture.open(QIODevice::WriteOnly);
    if (!WriteImage(picture, *format))
        throw Exception("Не удалось нарисовать график для файла " + QuoteForMessage(path) + ".");
    output.Write(std::string_view(picture.data().constData(), static_cast<std::size_t>(picture.data().size())));
    output.Commit();
}

bool TChart::WritePdf(QIODevice& output)
{
    // Qt's PDF writer, unlike its PNG and SVG writers, reports success to a device that refuses
    // every write.
    if (output.isOpen() && !output.isWritable()) return false;
    const ReadoutHidden hidden(*readoutLayer_);
    QPdfWriter pdf(&output);
    pdf.setTitle(Title());
    pdf.setCreator(QString());
    pdf.setResolution(72); // a pixel of the chart to a point of the page
    pdf.setPageLayout(
        QPageLayout(QPageSize(QSize(kImageWidth, kImageHeight), QPageSize::Point, QString(), QPageSize::ExactMatch),
                    QPageLayout::Portrait, QMarginsF(), QPageLayout::Point));
    QCPPainter painter;
    if (!painter.begin(&pdf)) return false;
    painter.setMode(QCPPainter::pmVectorized);
    toPainter(&painter, kImageWidth, kImageHeight);
    return painter.end();
}

bool TChart::WriteImage(QIODevice& output, ChartFormat format)
{
    if (format == ChartFormat::Pdf) return WritePdf(output);
    if (format == ChartFormat::Svg) {
        const ReadoutHidden hidden(*readoutLayer_);
        return WriteSvg(output);
    }
    QImage image = Image();
    constexpr double kDotsPerMeter = 96 / 0.0254; // 96 pixels per inch, as the screen's design density
    image.setDotsPerMeterX(static_cast<int>(kDotsPerMeter));
    image.setDotsPerMeterY(static_cast<int>(kDotsPerMeter));
    return !image.isNull() && image.save(&output, "PNG");
}

QImage TChart::Image()
{
    const ReadoutHidden hidden(*readoutLayer_);
    return toPixmap(kImageWidth, kImageHeight).toImage();
}
