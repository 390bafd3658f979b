#pragma once
// The chart: a QCustomPlot widget carrying one fast line series (Series.h), with its mouse
// interactions, the read-out of the point under the mouse, the context menu and the pictures of
// the chart (ChartImage.cpp). The chart's and the series' settings are properties of the chart,
// so a form description sets them.
#include "framework/gui/ChartFormat.h"
#include "framework/gui/PlotSummary.h"
#include "framework/gui/Series.h"

#include <qcustomplot.h>

#include <optional>
#include <vector>

class TChart : public QCustomPlot {
    Q_OBJECT
    Q_PROPERTY(QString title READ Title WRITE SetTitle)
    Q_PROPERTY(bool legendVisible READ LegendVisible WRITE SetLegendVisible)
    Q_PROPERTY(QColor seriesColor READ SeriesColor WRITE SetSeriesColor)
    // The series' component name: a form finds the series by it.
    Q_PROPERTY(QString seriesName READ SeriesName WRITE SetSeriesName)

public:
    // The size of the chart as designed, and of its pictures.
    static constexpr int kImageWidth = 544;
    static constexpr int kImageHeight = 446;
    // Why a build without Qt SVG refuses an SVG picture, as the messages say it.
    static constexpr char kNoSvg[] = "эта сборка не умеет сохранять SVG";
    // Whether this build writes SVG pictures: it does with Qt SVG (ChartSvg.cpp), not without (ChartNoSvg.cpp).
    static bool WritesSvg();

    explicit TChart(QWidget* parent = nullptr);

    TFastLineSeries* GetSeries(int index) const { return series_[static_cast<std::size_t>(index)]; }

    QString Title() const;
    void SetTitle(const QString& title);
    bool LegendVisible() const;
    void SetLegendVisible(bool visible);
    QColor SeriesColor() const;
    void SetSeriesColor(const QColor& colour);
    QString SeriesName() const;
    void SetSeriesName(const QString& name);

    // Scales the axes to the points present and draws the chart now: the full view.
    void Redraw();

    // The chart as it stands, kImageWidth x kImageHeight pixels, into a PNG, SVG or PDF file
    // chosen by the file's extension, written whole or not at all (an existing file is kept on any
    // failure). Raises Exception naming the file and the reason when it cannot.
    void SaveImage(const QString& file);

    // The same picture in `format` written to `output`; false when it cannot, SVG included in a
    // build without Qt SVG.
    bool WriteImage(QIODevice& output, ChartFormat format);

    // The same picture, as an image.
    QImage Image();

    // The read-out of the point under the mouse or the keyboard's cursor, as shown; empty when
    // none is shown.
    QString Readout() const;
    // The same on one line, as a screen reader is given it: "x = 1,5; f(x) = 2".
    QString ReadoutLine() const;
    // The point the read-out shows; null when none is shown.
    const QCPGraphData* ReadoutPoint() const { return shownPoint_; }

    // The keyboard's cursor on the point nearest in x to `x`, shown and announced.
    void MoveCursorTo(double x);

    // What the chart shows, in one sentence: SummaryText of its points.
    QString SummarySentence();

    // The menu a right click opens.
    QMenu* ContextMenu() const { return contextMenu_; }

protected:
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void ApplyFont();
    void BuildContextMenu();
    void AskAndSaveImage();
    void CopyImage();
    bool WritePdf(QIODevice& output);
    bool WriteSvg(QIODevice& output);

    // Shows x and f(x) of the series' point nearest in x to the cursor at `cursor`, or nothing
    // when the cursor is off the plot area or there are no points.
    void PlaceReadout(QPoint cursor);
    void HideReadout();
    // Shows x and f(x) of `point` (none when null) as the read-out.
    void ShowPoint(const QCPGraphData* point);

    // The series' points came or went: the summary and the cursor are stale.
    void PointsChanged();
    const PlotSummary& Summary();

    // The keyboard's cursor (ChartKeys.cpp): one point, or one pixel column where the view holds
    // more points than columns; to a sign change; the view zoomed around it or panned.
    void StepCursor(int direction);
    void JumpToSignChange(int direction);
    void PlaceCursor(std::size_t index);
    void ZoomAroundCursor(double factor);
    void OpenMenuAtCursor();
    void AnnounceReadout();

    QCPTextElement* title_;
    std::vector<TFastLineSeries*> series_; // owned by QCustomPlot

    QMenu* contextMenu_;
    QPoint rightPressAt_;
    bool rightDragged_ = false;

    // The read-out is drawn on a layer of its own, so following the mouse redraws only it.
    QCPLayer* readoutLayer_;
    QCPItemText* readoutText_;
    QCPItemTracer* readoutMark_;
    std::optional<QPoint> cursor_; // over the chart, as last seen
    const QCPGraphData* shownPoint_ = nullptr;

    std::optional<std::size_t> keyCursor_; // the index of the keyboard cursor's point
    std::optional<PlotSummary> summary_;   // made when first asked for after the points change
};
