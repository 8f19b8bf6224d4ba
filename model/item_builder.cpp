#include "model/item_builder.h"

#include <algorithm>

#include "platform/cp932_codec.h"

namespace {

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

std::size_t Utf8CutLength(std::string_view text, std::size_t max) {
  if (text.size() <= max) return text.size();
  std::size_t length = max;
  // A character takes four bytes at most: three of them may follow the cut.
  for (int i = 0; i < 3 && length > 0 && IsContinuationByte(text[length]); ++i) --length;
  return length;
}

ETextCheck CheckItemName(std::string& name) {
  if (name.empty() || name == "." || name == ".." ||
      name.find_first_of(std::string_view("/\\\0", 3)) != std::string::npos || !IsValidUtf8(name))
    return ETextCheck::Refused;
  if (name.size() <= kMaxNameBytes) return ETextCheck::Fine;
  name.resize(Utf8CutLength(name, kMaxNameBytes));
  return ETextCheck::Cut;
}

ETextCheck CheckItemNote(std::string& note) {
  if (note.find('\0') != std::string::npos || !IsValidUtf8(note)) return ETextCheck::Refused;
  if (note.size() <= kMaxNoteBytes) return ETextCheck::Fine;
  note.resize(Utf8CutLength(note, kMaxNoteBytes));
  return ETextCheck::Cut;
}

std::string VisibleNameOf(std::string_view name) {
  std::string out;
  const auto escape = [&out](char byte) { AppendUtf8(out, kByteEscapeBase + static_cast<unsigned char>(byte)); };
  if (name == "." || name == "..") {
    for (const char dot : name) escape(dot);
    return out;
  }
  for (std::size_t at = 0; at < name.size();) {
    const std::size_t from = at;
    const char32_t cp = NextUtf8Char(name, at);
    const bool invalid = cp == 0xFFFD && at == from + 1;
    if (invalid || cp == '/' || cp == '\\' || cp == 0)
      escape(name[from]);
    else
      out.append(name, from, at - from);
  }
  out.resize(Utf8CutLength(out, kMaxNameBytes));
  return out;
}

CItemBuilder::CItemBuilder(CFolderFileInfo& root, EBuild mode, std::uint64_t maxItems, std::uint64_t* made)
    : m_root(root), m_eMode(mode), m_nMaxItems(maxItems), m_pMade(made != nullptr ? made : &m_nOwnMade) {}

EBuilt CItemBuilder::Add(std::vector<std::string>& names, std::size_t count, CFindData& record, CFileInfo** made) {
  *made = nullptr;
  if (count == 0) return EBuilt::BadName;
  if (count > std::size_t(kMaxDepth)) return EBuilt::TooDeep;
  // Every name is checked before anything is made: a refused path leaves nothing behind.
  bool cut = false;
  std::size_t pathBytes = 0;
  m_originalHashes.assign(count, 0);
  for (std::size_t i = 0; i < count; ++i) {
    std::string& name = names[i];
    const std::size_t hash = name.size() > kMaxNameBytes ? std::hash<std::string>()(name) | 1 : 0;
    const ETextCheck check = CheckItemName(name);
    if (check == ETextCheck::Refused) return EBuilt::BadName;
    if (check == ETextCheck::Cut) cut = true, m_originalHashes[i] = hash;
    pathBytes = PathBytesBelow(pathBytes, name.size());
    if (pathBytes > kMaxPathBytes) return EBuilt::PathTooLong;
  }
  const bool unique = m_eMode == EBuild::Unique;
  const bool folder = (record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;

  // The folders already there, as far as they go.
  CFolderFileInfo* parent = &m_root;
  std::size_t level = 0;
  bool onWay = true;
  for (; level + 1 < count; ++level) {
    const std::string& name = names[level];
    CFileInfo* found = nullptr;
    onWay = onWay && level < m_way.size() && m_way[level]->GetName() == name;
    if (onWay) {
      found = m_way[level];
    } else if (const CSlot* slot = Find(parent, name, !unique)) {
      found = slot->pItem;
      if (!found->IsContainer()) return EBuilt::UnderAFile;
    }
    if (found == nullptr) break;
    if (!CutFrom(*found, m_originalHashes[level])) return EBuilt::NameMerges;
    parent = static_cast<CFolderFileInfo*>(found);
    if (level < m_way.size())
      m_way[level] = parent;
    else
      m_way.push_back(parent);
  }
  m_way.resize(level);

  const std::size_t last = count - 1;
  CSlot* existing = nullptr;
  if (level == last && (unique || folder || m_originalHashes[last] != 0 || !m_cut.empty())) {
    CSlot* slot = Find(parent, names[last], !unique && folder);
    if (slot != nullptr && !CutFrom(*slot->pItem, m_originalHashes[last])) return EBuilt::NameMerges;
    if (slot != nullptr && unique && (slot->bListed || !folder || !slot->pItem->IsContainer()))
      return EBuilt::Duplicate;
    if (slot != nullptr && folder) existing = slot;  // a listing's file may come twice
  }
  if (existing == nullptr && count - level > m_nMaxItems - std::min(*m_pMade, m_nMaxItems)) return EBuilt::TooMany;

  record.cFileName = names[last];
  if (existing != nullptr) {
    // A folder made for its members' paths takes its own record when it comes.
    existing->pItem->CopyFieldsFrom(*CFileInfo::Create(&record));
    existing->bListed = true;
    *made = existing->pItem;
  } else {
    CFindData way;
    if (!unique) way = record;  // a folder known only from its members' paths takes their times
    way.SetSize(0);
    way.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
    for (; level < last; ++level) {
      way.cFileName = names[level];
      parent = static_cast<CFolderFileInfo*>(Make(*parent, way, m_originalHashes[level], false));
      m_way.push_back(parent);
    }
    *made = Make(*parent, record, m_originalHashes[last], true);
  }
  return cut ? EBuilt::NameCut : EBuilt::Made;
}

CFileInfo* CItemBuilder::AddChild(CFolderFileInfo& parent, CFindData& record, ETextCheck& check) {
  check = CheckItemName(record.cFileName);
  return check == ETextCheck::Refused ? nullptr : parent.AddChild(&record);
}

CFileInfo* CItemBuilder::Make(CFolderFileInfo& parent, CFindData& record, std::size_t originalHash, bool listed) {
  CFileInfo* item = parent.AddChild(&record);
  ++*m_pMade;
  Index(&parent, item, listed);
  if (originalHash != 0) m_cut.emplace(item, originalHash);
  return item;
}

bool CItemBuilder::CutFrom(const CFileInfo& found, std::size_t originalHash) const {
  if (m_cut.empty()) return originalHash == 0;
  const auto it = m_cut.find(&found);
  return it == m_cut.end() ? originalHash == 0 : it->second == originalHash;
}

namespace {

std::size_t SlotHash(const CFolderFileInfo* parent, std::string_view name) {
  return std::hash<std::string_view>()(name) ^
         (std::size_t(reinterpret_cast<std::uintptr_t>(parent)) * 0x9E3779B97F4A7C15ULL);
}

}  // namespace

CItemBuilder::CSlot* CItemBuilder::Find(const CFolderFileInfo* parent, std::string_view name, bool folderOnly) {
  if (m_slots.empty()) return nullptr;
  const std::size_t hash = SlotHash(parent, name);
  for (std::size_t at = hash & (m_slots.size() - 1);; at = (at + 1) & (m_slots.size() - 1)) {
    CSlot& slot = m_slots[at];
    if (slot.pItem == nullptr) return nullptr;
    if (slot.nHash == hash && slot.pParent == parent && slot.pItem->GetName() == name &&
        (!folderOnly || slot.pItem->IsContainer()))
      return &slot;
  }
}

void CItemBuilder::Index(const CFolderFileInfo* parent, CFileInfo* item, bool listed) {
  if ((m_nUsed + 1) * 2 > m_slots.size()) Resize(std::max<std::size_t>(1024, m_slots.size() * 2));
  const CSlot slot{SlotHash(parent, item->GetName()), parent, item, listed};
  std::size_t at = slot.nHash & (m_slots.size() - 1);
  while (m_slots[at].pItem != nullptr) at = (at + 1) & (m_slots.size() - 1);
  m_slots[at] = slot;
  ++m_nUsed;
}

void CItemBuilder::Resize(std::size_t size) {
  std::vector<CSlot> old(size);
  old.swap(m_slots);
  m_nUsed = 0;
  for (const CSlot& slot : old)
    if (slot.pItem != nullptr) Index(slot.pParent, slot.pItem, slot.bListed);
}
