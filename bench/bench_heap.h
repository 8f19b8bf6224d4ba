#pragma once
// Bytes the program holds: the heap's blocks in use and the items' large
// chunks, which are mapped apart from the heap.

#include <malloc.h>

#include <cstddef>

#include "model/item_arena.h"

inline std::size_t HeapInUse() { return mallinfo2().uordblks + mallinfo2().hblkhd + CItemArena::MappedBytes(); }
