#pragma once
// The programs' side of the verdict module: finds rootfinder-verify beside the executable (where
// it is built, or where it is installed), loads it and hands back its proofs.
#include "core/RootVerdict.h"

// Raises Exception when the module is missing or cannot be loaded.
RunVerifier LoadVerifyModule();
