#include "HeapInUse.h"

double HeapInUse() { return -1; }
