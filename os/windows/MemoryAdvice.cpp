#include "os/MemoryAdvice.h"

// Large pages need a privilege a user rarely has: the system backs the block as it sees fit.
void AdviseHugePages(const void*, std::size_t) {}
