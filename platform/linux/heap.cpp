#include "heap.h"

#include <malloc.h>

void Heap::ReturnFreed()
{
    malloc_trim(0);
}
