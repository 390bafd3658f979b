#pragma once
// The programs' side of the run-time modules (ChartModule.h, VerifyModule.h): each is looked for
// beside the executable (where it is built) and in the private folder it is installed in, loaded
// when first asked for, and handed back as the service it provides. Each loader raises Exception
// when its module is missing, cannot be loaded or is of another interface version (the message
// names its file).
#include "app/Cli.h"
#include "core/RootVerdict.h"

// rootfinder-chart: --plot's drawing; none in a program built without it.
ChartRendererLoader ChartModuleLoader();

// rootfinder-verify: the proofs behind the root verdicts; none in a program built without them.
RunVerifierLoader VerifyModuleLoader();
