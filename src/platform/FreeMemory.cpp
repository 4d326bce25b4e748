#include "FreeMemory.h"

#if __has_include(<malloc.h>)
#include <malloc.h>
#endif

void ReturnFreeMemory()
{
#if defined(__GLIBC__) // known only once a C library header is included
    malloc_trim(0);
#endif
}
