// The chart's SVG pictures, drawn with Qt SVG; a build without it takes ChartNoSvg.cpp instead.
#include "framework/gui/Chart.h"

#include <QSvgGenerator>

bool TChart::WritesSvg() { return true; }

bool TChart::WriteSvg(QIODevice& output)
{
    QSvgGenerator svg;
    svg.setOutputDevice(&output);
    svg.setSize(QSize(kImageWidth, kImageHeight));
    svg.setViewBox(QRect(0, 0, kImageWidth, kImageHeight));
    svg.setTitle(Title());
    QCPPainter painter;
    if (!painter.begin(&svg)) return false;
    toPainter(&painter, kImageWidth, kImageHeight);
    return painter.end();
}
