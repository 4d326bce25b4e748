#pragma once

// Hands the memory that the allocator holds free back to the system, where the C
// library can (glibc's malloc_trim); elsewhere it does nothing. Worth calling after a
// large window has gone: its many small freed blocks otherwise stay counted as the
// program's memory.
void ReturnFreeMemory();
