#pragma once
// A chart as the window shows it, for the tests of the chart and its series.
#include "framework/gui/Chart.h"

#include <QApplication>
#include <QTest>

#include <memory>

// A chart of its designed size, shown; false when the window never appears.
inline bool ShowChart(std::unique_ptr<TChart>& chart)
{
    QApplication::setStartDragDistance(10);
    chart = std::make_unique<TChart>();
    chart->resize(TChart::kImageWidth, TChart::kImageHeight);
    chart->show();
    return QTest::qWaitForWindowExposed(chart.get());
}

// y = x on [0, 10], drawn; false when the axes never show it.
inline bool PlotLine(TChart& chart)
{
    for (int x = 0; x <= 10; ++x) chart.GetSeries(0)->AddXY(x, x);
    return QTest::qWaitFor([&] { return chart.xAxis->range() == QCPRange(0, 10); });
}
