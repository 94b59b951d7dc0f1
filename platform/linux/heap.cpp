#include "heap.h"

#include <malloc.h>

void Heap::KeepLargeBlocksApart()
{
    // Setting the threshold at all also stops the allocator from moving it.
    mallopt(M_MMAP_THRESHOLD, 64 * 1024);
}

void Heap::ReturnFreed()
{
    malloc_trim(0);
}
