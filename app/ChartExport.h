#pragma once
// Draws a run's plot as the main window's chart draws it, 544 x 446 pixels, into a PNG or SVG
// file chosen by the file's extension. Needs no display. Raises Exception.
#include "CalculationRun.h"

#include <string>
#include <vector>

void ExportChart(const std::vector<PlotPoint>& points, const std::string& file);
