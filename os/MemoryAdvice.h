#pragma once
// Advice to the operating system on how a block of memory will be used. It never changes what
// the block holds, and where a system takes no such advice it does nothing.
#include <cstddef>

// The block is big and about to be filled front to back: back it with huge pages where the
// system has them, so that filling it takes one page fault per 2 MiB instead of one per 4 KiB.
void AdviseHugePages(const void* block, std::size_t bytes);
