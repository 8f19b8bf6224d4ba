#pragma once
// Bytes the program holds: the heap's blocks in use and the items' large
// chunks, which are mapped apart from the heap.

#include <malloc.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "model/item_arena.h"

inline std::size_t HeapInUse() { return mallinfo2().uordblks + mallinfo2().hblkhd + CItemArena::MappedBytes(); }

// Kilobytes of a line of /proc/self/status ("VmRSS:", "VmHWM:").
inline long StatusKilobytes(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.compare(0, std::strlen(key), key) == 0) return std::atol(line.c_str() + std::strlen(key));
  return 0;
}
