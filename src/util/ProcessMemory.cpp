#include "util/ProcessMemory.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void ProcessMemory::returnLargeBlocks()
{
#if defined(__GLIBC__)
    // Setting the threshold also fixes it: glibc stops adjusting it after large frees.
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(largeBlock));
#endif
}
