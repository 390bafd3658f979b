#include "Chart.h"

#include "Application.h"
#include "Conversions.h"
#include "Exception.h"
#include "MemoryAdvice.h"
#include "SaveFile.h"

#include <QBuffer>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QFile>
#include <QPdfWriter>
#if ROOTFINDER_HAVE_SVG
#include <QSvgGenerator>
#endif

#include <exception>

void TSeriesData::Reserve(qsizetype points)
{
    // Room kept at the front for points inserted before the first stays part of the storage.
    const qsizetype wanted = mData.size() - size() + points;
    if (wanted <= mData.capacity()) return;
    mData.reserve(wanted);
    AdviseHugePages(mData.constData(), static_cast<std::size_t>(mData.capacity()) * sizeof(QCPGraphData));
}

TFastLineSeries::TFastLineSeries(TChart* chart) : QCPGraph(chart->xAxis, chart->yAxis), chart_(chart)
{
    QSharedPointer<TSeriesData> points(new TSeriesData);
    points_ = points.get();
    setData(points);
    setLineStyle(lsLine);
    setScatterStyle(QCPScatterStyle::ssNone);
}

void TFastLineSeries::Clear()
{
    points_->clear();
    points_->squeeze(); // clear() alone keeps the storage of the largest plot so far
    keys_ = values_ = Extent();
    chart_->ScheduleRedraw();
}

void TFastLineSeries::Reserve(std::size_t points)
{
    points_->Reserve(static_cast<qsizetype>(std::min<std::size_t>(points, std::numeric_limits<qsizetype>::max())));
}

const QCPGraphData* TFastLineSeries::NearestInX(double x) const
{
    const auto begin = points_->constBegin();
    const auto end = points_->constEnd();
    if (begin == end) return nullptr;
    const auto after = std::lower_bound(begin, end, x, [](const QCPGraphData& point, double key) { return point.key < key; });
    if (after == begin) return &*after;
    if (after == end) return &*(after - 1);
    return x - (after - 1)->key <= after->key - x ? &*(after - 1) : &*after;
}

QCPRange TFastLineSeries::getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain) const
{
    if (inSignDomain != QCP::sdBoth) return QCPGraph::getKeyRange(foundRange, inSignDomain);
    foundRange = !keys_.Empty();
    return foundRange ? QCPRange(keys_.lower, keys_.upper) : QCPRange();
}

QCPRange TFastLineSeries::getValueRange(bool& foundRange, QCP::SignDomain inSignDomain, const QCPRange& inKeyRange) const
{
    if (inSignDomain != QCP::sdBoth || inKeyRange != QCPRange())
        return QCPGraph::getValueRange(foundRange, inSignDomain, inKeyRange);
    foundRange = !values_.Empty();
    return foundRange ? QCPRange(values_.lower, values_.upper) : QCPRange();
}

TChart::TChart(QWidget* parent)
    : QCustomPlot(parent), title_(new QCPTextElement(this)), contextMenu_(new QMenu(this))
{
    plotLayout()->insertRow(0);
    plotLayout()->addElement(0, 0, title_);
    series_.push_back(new TFastLineSeries(this));
    axisRect()->setupFullAxesBox(true); // a frame: top and right axes without labels
    // Drag pans, the wheel zooms; a rectangle drawn with the right button zooms into it.
    setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);

    addLayer("readout", layer("overlay"), limAbove);
    readoutLayer_ = layer("readout");
    readoutLayer_->setMode(QCPLayer::lmBuffered);
    readoutText_ = new QCPItemText(this);
    readoutMark_ = new QCPItemTracer(this);
    readoutText_->setLayer(readoutLayer_);
    readoutMark_->setLayer(readoutLayer_);
    readoutText_->position->setType(QCPItemPosition::ptAbsolute);
    readoutText_->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
    readoutText_->setTextAlignment(Qt::AlignLeft);
    readoutText_->setPadding(QMargins(4, 2, 4, 2));
    readoutText_->setPen(QPen(Qt::gray));
    readoutText_->setBrush(QColor(255, 255, 255, 220));
    readoutMark_->setStyle(QCPItemTracer::tsCircle);
    readoutMark_->setSize(7);
    HideReadout();
    setMouseTracking(true);
    // The read-out follows the layout: a redraw may move the plot area and rescale the axes.
    connect(this, &QCustomPlot::afterLayout, this, [this] {
        if (cursor_) PlaceReadout(*cursor_);
    });

    BuildContextMenu();
    ApplyFont();
}

QString TChart::Title() const { return title_->text(); }
void TChart::SetTitle(const QString& title) { title_->setText(title); }
bool TChart::LegendVisible() const { return legend->visible(); }
void TChart::SetLegendVisible(bool visible) { legend->setVisible(visible); }
QColor TChart::SeriesColor() const { return series_.front()->pen().color(); }
void TChart::SetSeriesColor(const QColor& colour) { series_.front()->setPen(QPen(colour)); }
QString TChart::SeriesName() const { return series_.front()->objectName(); }
void TChart::SetSeriesName(const QString& name) { series_.front()->setObjectName(name); }

void TChart::Redraw()
{
    redrawPending_ = false;
    bool haveValues = false;
    series_.front()->getValueRange(haveValues);
    if (haveValues) {
        rescaleAxes();
        yAxis->scaleRange(1.05); // keeps the extremes of the line off the frame
    }
    replot();
}

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

#if ROOTFINDER_HAVE_SVG
bool WriteSvg(TChart& chart, QIODevice& output)
{
    QSvgGenerator svg;
    svg.setOutputDevice(&output);
    svg.setSize(QSize(TChart::kImageWidth, TChart::kImageHeight));
    svg.setViewBox(QRect(0, 0, TChart::kImageWidth, TChart::kImageHeight));
    svg.setTitle(chart.Title());
    QCPPainter painter;
    if (!painter.begin(&svg)) return false;
    chart.toPainter(&painter, TChart::kImageWidth, TChart::kImageHeight);
    return painter.end();
}
#else
bool WriteSvg(TChart&, QIODevice&)
{
    throw Exception("Эта сборка не умеет сохранять SVG: выберите PNG.");
}
#endif

} // namespace

void TChart::SaveImage(const QString& file)
{
    const std::string path = QFile::encodeName(file).toStdString();
    const QString format = QFileInfo(file).suffix().toLower();
    if (format != "png" && format != "svg" && format != "pdf")
        throw Exception("Не понимаю, в каком формате сохранить " + QuoteForMessage(path) +
                        ": имя файла должно оканчиваться на .png, .svg или .pdf.");
    if (format == "svg" && !ROOTFINDER_HAVE_SVG)
        throw Exception("Не могу сохранить " + QuoteForMessage(path) + ": эта сборка не умеет сохранять SVG, выберите PNG или PDF.");
    // Written as the command line writes its files: under a temporary name beside the old file,
    // which is replaced only by a whole picture.
    TSaveFile output(path);
    QBuffer picture;
    picture.open(QIODevice::WriteOnly);
    if (!WriteImage(picture, format))
        throw Exception("Не удалось нарисовать график для файла " + QuoteForMessage(path) + ".");
    output.Write(std::string_view(picture.data().constData(), static_cast<std::size_t>(picture.data().size())));
    output.Commit();
}

bool TChart::WritePdf(QIODevice& output)
{
    const ReadoutHidden hidden(*readoutLayer_);
    QPdfWriter pdf(&output);
    pdf.setTitle(Title());
    pdf.setCreator(QString());
    pdf.setResolution(72); // a pixel of the chart to a point of the page
    pdf.setPageLayout(QPageLayout(QPageSize(QSize(kImageWidth, kImageHeight), QPageSize::Point, QString(), QPageSize::ExactMatch),
                                  QPageLayout::Portrait, QMarginsF(), QPageLayout::Point));
    QCPPainter painter;
    if (!painter.begin(&pdf)) return false;
    painter.setMode(QCPPainter::pmVectorized);
    toPainter(&painter, kImageWidth, kImageHeight);
    return painter.end();
}

bool TChart::WriteImage(QIODevice& output, const QString& format)
{
    if (format == "pdf") return WritePdf(output);
    if (format == "svg") {
        const ReadoutHidden hidden(*readoutLayer_);
        return WriteSvg(*this, output);
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

void TChart::BuildContextMenu()
{
    contextMenu_->addAction("Сохранить график…", this, &TChart::AskAndSaveImage);
    contextMenu_->addAction("Копировать график", this, &TChart::CopyImage);
    contextMenu_->addAction("Показать всё", this, &TChart::Redraw);
}

void TChart::AskAndSaveImage()
{
    auto* dialog = new QFileDialog(this, "Сохранить график");
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    QStringList formats = {"Рисунок PNG (*.png)", "Рисунок SVG (*.svg)", "Документ PDF (*.pdf)"};
    if (!ROOTFINDER_HAVE_SVG) formats.removeAt(1);
    dialog->setNameFilters(formats);
    dialog->setDefaultSuffix("png");
    dialog->selectFile("график.png");
    // A name typed without an extension takes the chosen format's.
    connect(dialog, &QFileDialog::filterSelected, dialog,
            [dialog](const QString& filter) { dialog->setDefaultSuffix(filter.section("*.", 1).chopped(1)); });
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& file) {
        // Qt's widgets, which deliver the choice, are built without exception support.
        try {
            SaveImage(file);
        } catch (...) {
            Application->HandleException(std::current_exception());
        }
    });
    dialog->open();
}

void TChart::CopyImage() { QGuiApplication::clipboard()->setImage(Image()); }

void TChart::PlaceReadout(QPoint cursor)
{
    const QCPGraphData* point = axisRect()->rect().contains(cursor) ? series_.front()->NearestInX(xAxis->pixelToCoord(cursor.x())) : nullptr;
    if (!point) {
        readoutText_->setVisible(false);
        readoutMark_->setVisible(false);
        return;
    }
    const auto number = [](double value) { return QString::fromStdString(FloatToStrF(value, ffGeneral, 10, 0)); };
    readoutText_->setText("x = " + number(point->key) + "\nf(x) = " + number(OrdinateOf(point->value)));
    readoutText_->position->setCoords(axisRect()->topLeft() + QPointF(6, 6));
    readoutText_->setVisible(true);
    readoutMark_->position->setCoords(point->key, point->value);
    readoutMark_->setVisible(!std::isnan(point->value));
}

void TChart::HideReadout()
{
    cursor_.reset();
    PlaceReadout(QPoint(-1, -1));
}

QString TChart::Readout() const { return readoutText_->visible() ? readoutText_->text() : QString(); }

void TChart::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) ApplyFont();
    QCustomPlot::changeEvent(event);
}

// QCustomPlot's elements copy the widget's font when they are made; a font set later (by the form
// description) is handed on here.
void TChart::ApplyFont()
{
    QFont titleFont = font();
    titleFont.setPixelSize(QFontInfo(font()).pixelSize() + 2);
    titleFont.setBold(true);
    title_->setFont(titleFont);
    for (QCPAxis* axis : axisRect()->axes()) {
        axis->setTickLabelFont(font());
        axis->setLabelFont(font());
    }
    legend->setFont(font());
    readoutText_->setFont(font());
}

void TChart::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        rightPressAt_ = event->position().toPoint();
        rightDragged_ = false;
    }
    setSelectionRectMode(event->button() == Qt::RightButton ? QCP::srmZoom : QCP::srmNone);
    QCustomPlot::mousePressEvent(event);
}

void TChart::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (event->buttons() & Qt::RightButton && (at - rightPressAt_).manhattanLength() >= QApplication::startDragDistance())
        rightDragged_ = true;
    QCustomPlot::mouseMoveEvent(event);
    cursor_ = at;
    PlaceReadout(at);
    readoutLayer_->replot();
}

// A right click without dragging opens the menu instead of zooming into a rectangle.
void TChart::mouseReleaseEvent(QMouseEvent* event)
{
    const bool menu = event->button() == Qt::RightButton && !rightDragged_;
    if (menu) selectionRect()->cancel();
    QCustomPlot::mouseReleaseEvent(event);
    setSelectionRectMode(QCP::srmNone);
    if (menu) {
        HideReadout();
        readoutLayer_->replot();
        contextMenu_->popup(event->globalPosition().toPoint());
    }
}

// The mouse's menu opens on the release of a click; this is the keyboard's.
void TChart::contextMenuEvent(QContextMenuEvent* event)
{
    if (event->reason() != QContextMenuEvent::Mouse) contextMenu_->popup(event->globalPos());
    event->accept();
}

// Back to the full view after panning and zooming.
void TChart::mouseDoubleClickEvent(QMouseEvent* event)
{
    QCustomPlot::mouseDoubleClickEvent(event);
    Redraw();
}

void TChart::leaveEvent(QEvent* event)
{
    HideReadout();
    readoutLayer_->replot();
    QCustomPlot::leaveEvent(event);
}
