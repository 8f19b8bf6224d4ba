#include "model/item_arena.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace {

// Items hold 64-bit fields and a vtable pointer, nothing wider.
constexpr std::size_t kAlign = 8;
// Small catalogs stay small; large ones grow to chunks the allocator maps
// on their own.
constexpr std::size_t kFirstChunk = 1 << 10;
constexpr std::size_t kLargestChunk = 1 << 20;

std::size_t RoundUp(std::size_t n) { return (n + kAlign - 1) & ~(kAlign - 1); }

}  // namespace

struct CItemArena::CChunk {
  CChunk* pNext;
  std::size_t nSize;  // including this header
};

CItemArena::~CItemArena() { FreeChunks(); }

void* CItemArena::AllocateAlone(std::size_t size) {
  size = RoundUp(size);
  if (std::size_t(m_pEnd - m_pNext) < size) {
    const std::size_t header = RoundUp(sizeof(CChunk));
    const std::size_t grown = std::clamp(m_nChunkBytes, kFirstChunk, kLargestChunk);
    const std::size_t bytes = std::max(grown, header + size);
    auto* chunk = static_cast<CChunk*>(std::malloc(bytes));
    if (chunk == nullptr) throw std::bad_alloc();
    chunk->pNext = m_pChunks;
    chunk->nSize = bytes;
    m_pChunks = chunk;
    m_nChunkBytes += bytes;
    m_pNext = reinterpret_cast<char*>(chunk) + header;
    m_pEnd = reinterpret_cast<char*>(chunk) + bytes;
  }
  void* memory = m_pNext;
  m_pNext += size;
  ++m_nLive;
  return memory;
}

void CItemArena::Release(std::size_t count) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_nLive -= std::min(count, m_nLive);
  if (m_nLive == 0) FreeChunks();
}

void CItemArena::FreeChunks() {
  while (m_pChunks != nullptr) {
    CChunk* next = m_pChunks->pNext;
    std::free(m_pChunks);
    m_pChunks = next;
  }
  m_pNext = m_pEnd = nullptr;
  m_nChunkBytes = 0;
}
