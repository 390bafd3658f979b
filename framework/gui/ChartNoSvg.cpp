// A build without Qt SVG: the chart writes no SVG picture, and its callers refuse one with kNoSvg.
#include "framework/gui/Chart.h"

bool TChart::WritesSvg() { return false; }

bool TChart::WriteSvg(QIODevice&) { return false; }
