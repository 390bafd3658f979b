// A module from another build: it reports an interface version the programs were not built with,
// and has no other entry point, so a program that went past the version would fail otherwise.
#include "app/ChartModule.h"
#include "app/VerifyModule.h"

extern "C" int RootfinderChartModuleVersion() { return kChartModuleVersion + 1; }
extern "C" int RootfinderVerifyModuleVersion() { return kVerifyModuleVersion + 1; }
