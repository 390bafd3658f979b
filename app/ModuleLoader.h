#pragma once
// The programs' side of the run-time modules (ChartModule.h, VerifyModule.h): each is looked for
// beside the executable (where it is built) and in the private folder it is installed in, loaded
// when first asked for, and handed back as the service it provides. Each loader raises Exception
// when its module is missing or cannot be loaded.
#include "app/Cli.h"
#include "core/RootVerdict.h"

// rootfinder-chart: --plot's drawing.
ChartRenderer LoadChartModule();

// rootfinder-verify: the proofs behind the root verdicts.
RunVerifier LoadVerifyModule();
