#pragma once
// A map from items to values for the walks that pair two trees of a
// million items: open addressing in one array sized up front, so that no
// entry costs an allocation of its own. Each item goes in once.

#include <cstdint>
#include <utility>
#include <vector>

class CFileInfo;

template <class TValue>
class CItemMap {
 public:
  explicit CItemMap(std::size_t expected) {
    std::size_t slots = 16;
    m_nShift = 60;
    while (slots < 2 * expected + 1) slots *= 2, --m_nShift;
    m_slots.assign(slots, {nullptr, TValue()});
  }
  void Insert(const CFileInfo* item, const TValue& value) {
    std::size_t slot = Slot(item);
    while (m_slots[slot].first != nullptr) slot = (slot + 1) & (m_slots.size() - 1);
    m_slots[slot] = {item, value};
    ++m_nCount;
  }
  const TValue* Find(const CFileInfo* item) const {
    for (std::size_t slot = Slot(item);; slot = (slot + 1) & (m_slots.size() - 1)) {
      if (m_slots[slot].first == item) return &m_slots[slot].second;
      if (m_slots[slot].first == nullptr) return nullptr;
    }
  }
  std::size_t Size() const { return m_nCount; }

 private:
  std::size_t Slot(const CFileInfo* item) const {
    return std::size_t((std::uintptr_t(item) >> 3) * 0x9E3779B97F4A7C15ULL >> m_nShift);
  }
  std::vector<std::pair<const CFileInfo*, TValue>> m_slots;
  unsigned m_nShift;
  std::size_t m_nCount = 0;
};
