#include "os/MemoryAdvice.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

void AdviseHugePages(const void* block, std::size_t bytes)
{
    // Transparent huge pages are Linux's; other systems back the block as they see fit.
#ifdef MADV_HUGEPAGE
    constexpr std::size_t kHugePage = 2 << 20;
    if (bytes < kHugePage) return; // no huge page fits in it
    // madvise takes whole pages; the ones the block shares with its neighbours take the advice too.
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<std::uintptr_t>(block) & ~(page - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(block) + bytes + page - 1) & ~(page - 1);
    madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)block;
    (void)bytes;
#endif
}
