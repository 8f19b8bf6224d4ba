#pragma once
// Storage for the items of one catalog. A catalog of a million files would
// otherwise take a million heap blocks, each with the allocator's header and
// rounding; here items are packed into a few large chunks.
//
// Items are destroyed one by one (their members own memory) and counted
// out; the chunks go back to the heap when the last item has gone, so a
// catalog whose tree is replaced wholesale does not keep its old tree's
// storage. Threads may add to different folders of one catalog at once, as
// they may with items on the heap: the arena has a lock.

#include <cstddef>
#include <mutex>

class CItemArena {
 public:
  CItemArena() = default;
  ~CItemArena();
  CItemArena(const CItemArena&) = delete;
  CItemArena& operator=(const CItemArena&) = delete;

  // Storage for one item of size bytes, aligned for any item; throws
  // std::bad_alloc like operator new.
  void* Allocate(std::size_t size) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return AllocateAlone(size);
  }
  // The same without the lock, for a tree no other thread can reach yet
  // (the loader's).
  void* AllocateAlone(std::size_t size);
  // count items allocated here have been destroyed.
  void Release(std::size_t count = 1);

  std::size_t LiveItems() const { return m_nLive; }
  // Bytes of the chunks the arena holds.
  std::size_t ChunkBytes() const { return m_nChunkBytes; }
  // Bytes of all arenas' chunks that are mapped apart from the heap.
  static std::size_t MappedBytes();

 private:
  struct CChunk;
  void FreeChunks();

  std::mutex m_mutex;
  CChunk* m_pChunks = nullptr;
  char* m_pNext = nullptr;
  char* m_pEnd = nullptr;
  std::size_t m_nLive = 0;
  std::size_t m_nChunkBytes = 0;
};
