#include "framework/gui/Chart.h"

#include "framework/base/Conversions.h"
#include "framework/gui/Application.h"
#include "framework/gui/ChartAccessible.h"

#include <QAccessible>
#include <QClipboard>
#include <QFileDialog>

#include <exception>

TChart::TChart(QWidget* parent) : QCustomPlot(parent), title_(new QCPTextElement(this)), contextMenu_(new QMenu(this))
{
    plotLayout()->insertRow(0);
    plotLayout()->addElement(0, 0, title_);
    series_.push_back(new TFastLineSeries(xAxis, yAxis, [this] { PointsChanged(); }));
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
        else if (keyCursor_ && hasFocus()) ShowPoint(shownPoint_);
    });
    InstallChartAccessibility();

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
    bool haveValues = false;
    series_.front()->getValueRange(haveValues);
    if (haveValues) {
        rescaleAxes();
        yAxis->scaleRange(1.05); // keeps the extremes of the line off the frame
    }
    replot();
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
    if (!WritesSvg()) formats.removeAt(1);
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
    ShowPoint(axisRect()->rect().contains(cursor) ? series_.front()->NearestInX(xAxis->pixelToCoord(cursor.x()))
                                                  : nullptr);
}

void TChart::ShowPoint(const QCPGraphData* point)
{
    shownPoint_ = point;
    if (!point) {
        readoutText_->setVisible(false);
        readoutMark_->setVisible(false);
        return;
    }
    readoutText_->setText("x = " + ChartNumber(point->key) + "\nf(x) = " + ChartNumber(OrdinateOf(point->value)));
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

QString TChart::ReadoutLine() const { return Readout().replace('\n', "; "); }

void TChart::PointsChanged()
{
    summary_.reset();
    keyCursor_.reset();
    if (!cursor_) ShowPoint(nullptr); // the mouse's read-out finds its point again in the redraw
    Redraw();
    if (QAccessible::isActive()) {
        QAccessibleEvent described(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&described);
    }
}

const PlotSummary& TChart::Summary()
{
    if (!summary_) summary_ = SummarizePlot(*series_.front()->data());
    return *summary_;
}

QString TChart::SummarySentence() { return SummaryText(Summary()); }

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
    if (event->buttons() & Qt::RightButton &&
        (at - rightPressAt_).manhattanLength() >= QApplication::startDragDistance())
        rightDragged_ = true;
    QCustomPlot::mouseMoveEvent(event);
    cursor_ = at;
    keyCursor_.reset(); // the mouse takes the read-out over
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

// The mouse's menu opens on the release of a click; this is the keyboard's (the Menu key).
void TChart::contextMenuEvent(QContextMenuEvent* event)
{
    if (event->reason() != QContextMenuEvent::Mouse) OpenMenuAtCursor();
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
    if (cursor_) HideReadout();
    readoutLayer_->replot();
    QCustomPlot::leaveEvent(event);
}
