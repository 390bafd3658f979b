#pragma once
// The chart: a QCustomPlot widget carrying one fast line series (Series.h), with its mouse
// interactions, the read-out of the point under the mouse, the context menu and the pictures of
// the chart (ChartImage.cpp). The chart's and the series' settings are properties of the chart,
// so a form description sets them.
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

    // The same picture as a PNG, SVG or PDF ("png", "svg", "pdf") written to `output`; false
    // when it cannot, SVG included in a build without Qt SVG.
    bool WriteImage(QIODevice& output, const QString& format);

    // The same picture, as an image.
    QImage Image();

    // The read-out of the point under the mouse, as shown; empty when none is shown.
    QString Readout() const;

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

private:
    void ApplyFont();
    void BuildContextMenu();
    void AskAndSaveImage();
    void CopyImage();
    bool WritePdf(QIODevice& output);

    // Shows x and f(x) of the series' point nearest in x to the cursor at `cursor`, or nothing
    // when the cursor is off the plot area or there are no points.
    void PlaceReadout(QPoint cursor);
    void HideReadout();

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
};
