#pragma once
// The chart as a screen reader meets it: a chart whose description says what it shows and names
// its keys, whose value is the read-out, and whose one child is the point under the read-out,
// focused as the keyboard's cursor moves (as a table's current cell is).

// Makes Qt's accessibility ask for the chart's interface here; once per process is enough.
void InstallChartAccessibility();
