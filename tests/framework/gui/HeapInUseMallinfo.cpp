#include "tests/framework/gui/HeapInUse.h"

#include <malloc.h>

double HeapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd);
}
