#pragma once
// The C library gives each thread that allocates a heap of its own, which it
// keeps. A scan's reading threads would each keep one for the few folders
// they read ahead: some hundreds of kilobytes a thread, a fifth more memory
// than a small catalog's. Two heaps serve the programs' threads as well.

#ifdef __GLIBC__
#include <malloc.h>
#endif

inline void LimitHeapArenas() {
#ifdef __GLIBC__
  mallopt(M_ARENA_MAX, 2);
#endif
}
