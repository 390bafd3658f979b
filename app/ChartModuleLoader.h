#pragma once
// The command line's side of the chart module: finds rootfinder-chart beside the executable
// (where it is built, or where it is installed), loads it and hands back its drawing.
#include "app/Cli.h"

// Raises Exception when the module is missing or cannot be loaded.
ChartRenderer LoadChartModule();
