#include "model/file_info.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <type_traits>
#include <unordered_map>

#include "model/archive_listing.h"
#include "model/item_arena.h"
#include "model/item_builder.h"
#include "model/root_file_info.h"
#include "model/text_format.h"

// Fields most items leave empty. Items that have them carry kHasExtra and
// find them in one table keyed by the item's address: the flag costs no
// bytes where a pointer in every item would cost eight.
struct CFileInfo::CExtra {
  std::string strNote;
  std::string strAlternateName;
  std::string strStoredPath;
  bool bHasStoredPath = false;
  std::uint32_t dwReserved0 = 0;
  std::uint32_t dwReserved1 = 0;
  std::uint32_t nSizeHigh = 0;
  std::unique_ptr<std::string[]> pStoredBytes;  // TEXT_FIELDS texts' bytes as read
  std::unique_ptr<CFolderFileInfo> pMembers;    // an archive's listed members
  std::uint8_t nArchiveState = 0;
  EEntryKind eEntryKind = EEntryKind::Regular;

  bool IsEmpty() const {
    return strNote.empty() && strAlternateName.empty() && !bHasStoredPath && dwReserved0 == 0 && dwReserved1 == 0 &&
           nSizeHigh == 0 && !pStoredBytes && !pMembers && eEntryKind == EEntryKind::Regular;
  }
};

namespace {

const std::string kEmpty;
const char kLinkTypeName[] = "シンボリック リンク";

// Items are made and read on more than one thread (a scan in the background
// while the window draws), so the table has a lock. It is never destroyed:
// items of static objects may outlive any static table.
template <class TExtra>
class CExtraTable {
 public:
  static CExtraTable& Get() {
    static CExtraTable* table = new CExtraTable;
    return *table;
  }
  TExtra* Find(const void* item) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_map.find(item);
    return it == m_map.end() ? nullptr : it->second.get();
  }
  TExtra& Make(const void* item) {
    auto extra = std::make_unique<TExtra>();
    std::lock_guard<std::mutex> lock(m_mutex);
    auto& slot = m_map[item];
    if (!slot) slot = std::move(extra);
    return *slot;
  }
  void Erase(const void* item) {
    std::unique_ptr<TExtra> gone;
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_map.find(item);
    if (it == m_map.end()) return;
    gone = std::move(it->second);
    m_map.erase(it);
  }

 private:
  std::mutex m_mutex;
  std::unordered_map<const void*, std::unique_ptr<TExtra>> m_map;
};

constexpr std::size_t kNameBehind[] = {0, sizeof(CFolderFileInfo), sizeof(CDriveFileInfo), sizeof(CRootFileInfo)};

}  // namespace

// The name of a file item starts inside the object, in m_achName.
static_assert(sizeof(CFileInfo) == 48, "file items are 44 bytes of fields and the name");
static_assert(alignof(CDriveFileInfo) <= 8 && alignof(CRootFileInfo) <= 8, "the arena aligns to 8 bytes");

template <class T>
T* CFileInfo::NewItem(const CFindData* record, CItemArena* arena, bool alone) {
  std::string_view name;
  if (record != nullptr) name = record->cFileName;
  // Builders hold names to kMaxNameBytes (item_builder.h); should a longer
  // one come, it is cut where the reader still takes it.
  const std::size_t length = Utf8CutLength(name, kMaxNameBytes);
  const std::size_t nameOffset = std::is_same_v<T, CFileInfo> ? sizeof(T) - sizeof m_achName : sizeof(T);
  const std::size_t size = std::max(sizeof(T), nameOffset + length);
  void* memory = arena == nullptr ? ::operator new(size) : alone ? arena->AllocateAlone(size) : arena->Allocate(size);
  T* item = nullptr;
  try {
    item = ::new (memory) T();
  } catch (...) {
    if (arena != nullptr)
      arena->Release();
    else
      ::operator delete(memory);
    throw;
  }
  if (length != 0) std::memcpy(static_cast<char*>(memory) + nameOffset, name.data(), length);
  item->m_nNameLength = std::uint16_t(length);
  item->m_wFlags = std::uint16_t(item->GetKind() | (arena != nullptr ? kInArena : 0));
  if (record != nullptr) item->AssignRecord(*record);
  return item;
}

void CFileInfo::DestroyItem(CFileInfo* item, CItemArena* arena) {
  if ((item->m_wFlags & kInArena) == 0) {
    delete item;
    return;
  }
  item->~CFileInfo();
  arena->Release();
}

std::unique_ptr<CFileInfo> CFileInfo::Create(const CFindData* record) {
  return std::unique_ptr<CFileInfo>(NewItem<CFileInfo>(record, nullptr));
}

std::unique_ptr<CFolderFileInfo> CFolderFileInfo::Create(const CFindData* record) {
  return std::unique_ptr<CFolderFileInfo>(NewItem<CFolderFileInfo>(record, nullptr));
}

std::unique_ptr<CFileInfo> CFileInfo::CreateOfKind(EKind kind, const CFindData& record) {
  switch (kind) {
    case KIND_FILE: return std::unique_ptr<CFileInfo>(NewItem<CFileInfo>(&record, nullptr));
    case KIND_FOLDER: return std::unique_ptr<CFileInfo>(NewItem<CFolderFileInfo>(&record, nullptr));
    case KIND_CATALOG: return std::unique_ptr<CFileInfo>(NewItem<CDriveFileInfo>(&record, nullptr));
    case KIND_SET: return std::unique_ptr<CFileInfo>(NewItem<CRootFileInfo>(&record, nullptr));
  }
  return nullptr;
}

CFileInfo::~CFileInfo() {
  if (m_wFlags & kHasExtra) CExtraTable<CExtra>::Get().Erase(this);
}

void CFileInfo::AssignRecord(const CFindData& record) {
  m_dwAttributes = record.dwFileAttributes;
  m_ftCreation = record.ftCreationTime;
  m_ftAccess = record.ftLastAccessTime;
  m_ftWrite = record.ftLastWriteTime;
  m_nSizeLow = record.nFileSizeLow;
  if (!record.cAlternateFileName.empty() || record.dwReserved0 != 0 || record.dwReserved1 != 0 ||
      record.nFileSizeHigh != 0) {
    CExtra& extra = Extra();
    extra.strAlternateName = record.cAlternateFileName;
    extra.dwReserved0 = record.dwReserved0;
    extra.dwReserved1 = record.dwReserved1;
    extra.nSizeHigh = record.nFileSizeHigh;
  }
}

const CFileInfo::CExtra* CFileInfo::FindExtra() const {
  return (m_wFlags & kHasExtra) ? CExtraTable<CExtra>::Get().Find(this) : nullptr;
}

CFileInfo::CExtra& CFileInfo::Extra() {
  if (m_wFlags & kHasExtra) {
    if (CExtra* extra = CExtraTable<CExtra>::Get().Find(this)) return *extra;
  }
  CExtra& extra = CExtraTable<CExtra>::Get().Make(this);
  m_wFlags |= kHasExtra;
  return extra;
}

void CFileInfo::DropExtraIfEmpty() {
  const CExtra* extra = FindExtra();
  if (extra != nullptr && extra->IsEmpty()) {
    CExtraTable<CExtra>::Get().Erase(this);
    m_wFlags &= std::uint16_t(~kHasExtra);
  }
}

std::string_view CFileInfo::NameBehindObject() const {
  if (m_nNameLength == 0) return {};
  return std::string_view(reinterpret_cast<const char*>(this) + kNameBehind[m_wFlags & kLayoutMask], m_nNameLength);
}

std::uint64_t CFileInfo::SizeWithHighPart() const {
  const CExtra* extra = FindExtra();
  return (std::uint64_t(extra != nullptr ? extra->nSizeHigh : 0) << 32) | m_nSizeLow;
}

const std::string& CFileInfo::AlternateName() const {
  const CExtra* extra = FindExtra();
  return extra != nullptr ? extra->strAlternateName : kEmpty;
}

std::uint32_t CFileInfo::Reserved0() const {
  const CExtra* extra = FindExtra();
  return extra != nullptr ? extra->dwReserved0 : 0;
}

std::uint32_t CFileInfo::Reserved1() const {
  const CExtra* extra = FindExtra();
  return extra != nullptr ? extra->dwReserved1 : 0;
}

const CFolderFileInfo* CFileInfo::Members() const {
  return (m_wFlags & kHasMembers) ? FindExtra()->pMembers.get() : nullptr;
}

CFolderFileInfo* CFileInfo::Members() {
  return const_cast<CFolderFileInfo*>(static_cast<const CFileInfo*>(this)->Members());
}

std::uint8_t CFileInfo::ArchiveState() const { return (m_wFlags & kHasMembers) ? FindExtra()->nArchiveState : 0; }

void CFileInfo::SetArchiveState(std::uint8_t state) {
  if (m_wFlags & kHasMembers) Extra().nArchiveState = state;
}

void CFileInfo::DropMembers() {
  if ((m_wFlags & kHasMembers) == 0) return;
  std::unique_ptr<CFolderFileInfo> gone = std::move(Extra().pMembers);
  m_wFlags &= std::uint16_t(~kHasMembers);
  DropExtraIfEmpty();
}

const CFolderFileInfo* CFileInfo::AsContainer() const {
  return IsContainer() ? static_cast<const CFolderFileInfo*>(this) : Members();
}

CFileInfo::EEntryKind CFileInfo::EntryKind() const {
  const CExtra* extra = FindExtra();
  return extra != nullptr ? extra->eEntryKind : EEntryKind::Regular;
}

void CFileInfo::SetEntryKind(EEntryKind kind) {
  if (kind == EntryKind()) return;
  Extra().eEntryKind = kind;
  DropExtraIfEmpty();
}

const std::string& CFileInfo::GetNote() const {
  const CExtra* extra = FindExtra();
  return extra != nullptr ? extra->strNote : kEmpty;
}

void CFileInfo::SetNoteText(std::string note) {
  if ((m_wFlags & kTextFormMask) != 0) SetStoredForm(TEXT_NOTE, false, {});
  if (note.empty() && (m_wFlags & kHasExtra) == 0) return;
  Extra().strNote = std::move(note);
  DropExtraIfEmpty();
}

std::string_view CFileInfo::StoredBytes(ETextField field) const {
  if ((m_wFlags & (kKeptBytesFirstBit << field)) == 0) return {};
  return FindExtra()->pStoredBytes[field];
}

void CFileInfo::SetStoredForm(ETextField field, bool wide, std::string bytes) {
  const auto wideBit = std::uint16_t(kWideTextFirstBit << field), bytesBit = std::uint16_t(kKeptBytesFirstBit << field);
  if (wide)
    m_wFlags |= wideBit;
  else
    m_wFlags &= std::uint16_t(~wideBit);
  if (bytes.empty() && (m_wFlags & bytesBit) == 0) return;
  CExtra& extra = Extra();
  if (!extra.pStoredBytes) extra.pStoredBytes.reset(new std::string[TEXT_FIELDS]);
  extra.pStoredBytes[field] = std::move(bytes);
  if (extra.pStoredBytes[field].empty()) {
    m_wFlags &= std::uint16_t(~bytesBit);
    if ((m_wFlags & kKeptBytesMask) == 0) extra.pStoredBytes.reset();
    DropExtraIfEmpty();
  } else {
    m_wFlags |= bytesBit;
  }
}

CFindData CFileInfo::GetFindData() const {
  CFindData record;
  record.dwFileAttributes = m_dwAttributes;
  record.ftCreationTime = m_ftCreation;
  record.ftLastAccessTime = m_ftAccess;
  record.ftLastWriteTime = m_ftWrite;
  record.SetSize(RecordSize());
  record.dwReserved0 = Reserved0();
  record.dwReserved1 = Reserved1();
  record.cFileName = std::string(FileName());
  record.cAlternateFileName = AlternateName();
  return record;
}

std::string CFileInfo::DerivedPath(std::string_view parentPath) const {
  std::string path;
  const std::string_view name = GetName();
  path.reserve(parentPath.size() + 1 + name.size());
  path.append(parentPath).append(1, '\\').append(name);
  return path;
}

std::string CFileInfo::PathUnder(std::string_view parentPath) const {
  const CExtra* extra = FindExtra();
  if (extra != nullptr && extra->bHasStoredPath) return extra->strStoredPath;
  return DerivedPath(parentPath);
}

bool CFileInfo::AppendsToParentPath() const {
  const CExtra* extra = FindExtra();
  return !(extra != nullptr && extra->bHasStoredPath) && GetKind() <= KIND_FOLDER;
}

void CWalkPath::Enter(const CFileInfo& item) {
  if (item.AppendsToParentPath()) {
    m_marks.push_back({m_str.size(), false, {}});
    m_str.append(1, '\\').append(item.GetName());
    return;
  }
  m_marks.push_back({0, true, std::move(m_str)});
  m_str = item.PathUnder(m_marks.back().strSaved);
}

void CWalkPath::Leave() {
  CMark& mark = m_marks.back();
  if (mark.bReplaced)
    m_str = std::move(mark.strSaved);
  else
    m_str.resize(mark.nLength);
  m_marks.pop_back();
}

std::string CWalkPath::PathOf(const CFileInfo& item) const { return item.PathUnder(m_str); }

const std::string& CWalkPath::PathOf(const CFileInfo& item, std::string& out) const {
  if (item.AppendsToParentPath()) {
    const std::string_view name = item.GetName();
    out.reserve(m_str.size() + 1 + name.size());
    out.assign(m_str).append(1, '\\').append(name);
  } else {
    out = item.PathUnder(m_str);
  }
  return out;
}

bool CFileInfo::IsDerivedPath(std::string_view path, std::string_view parentPath) const {
  if (GetKind() > KIND_FOLDER) return path == DerivedPath(parentPath);
  // parentPath, a backslash and the name, compared without building it.
  const std::string_view name = GetName();
  return path.size() == parentPath.size() + 1 + name.size() && path[parentPath.size()] == '\\' &&
         path.compare(0, parentPath.size(), parentPath) == 0 && path.substr(parentPath.size() + 1) == name;
}

void CFileInfo::SetStoredPath(std::string_view storedPath, std::string_view parentPath) {
  if (IsDerivedPath(storedPath, parentPath)) {
    if (m_wFlags & kHasExtra) {
      CExtra& extra = Extra();
      extra.bHasStoredPath = false;
      extra.strStoredPath.clear();
      DropExtraIfEmpty();
    }
    return;
  }
  CExtra& extra = Extra();
  extra.bHasStoredPath = true;
  extra.strStoredPath = std::string(storedPath);
}

CTime CFileInfo::GetModifiedTime() const { return FileTimeToTime(m_ftWrite); }
CTime CFileInfo::GetCreatedTime() const { return FileTimeToTime(m_ftCreation); }
std::string CFileInfo::GetSizeText(bool inBytes) const { return FormatSize(GetSize(), inBytes); }
std::string CFileInfo::GetTypeName() const {
  return IsLink() ? kLinkTypeName : TypeNameFor(ExtensionOf(GetName()), false);
}

void CFileInfo::GetInfo(CPropInfoData& info, const std::string& path) const {
  info.m_nType = CPropInfoData::TYPE_FILE;
  info.m_strName = std::string(GetName());
  info.m_strKind = GetTypeName();
  info.m_strNote = GetNote();
  info.m_strCreated = FormatTime(GetCreatedTime());
  info.m_strModified = FormatTime(GetModifiedTime());
  info.m_strPath = path;
  info.m_strAttributes = FormatAttributes(GetAttributes());
  info.m_strSize = GetSizeText(true);
  if (const CFolderFileInfo* members = Members()) {
    info.m_strArchive = "中身 " + FormatCount(CountItemsBelow(*members)) + " 件";
    const std::string state = ArchiveStateText(ArchiveState());
    if (!state.empty()) info.m_strArchive += " (" + state + ")";
  } else if (IsInArchive()) {
    info.m_strArchive = "アーカイブの中";
  }
}

std::unique_ptr<CItemSummary> CFileInfo::MakeSummary(const std::string& path) const {
  auto summary = std::make_unique<CItemSummary>();
  summary->m_strName = std::string(GetName());
  summary->m_bContainer = IsContainer();
  summary->m_bCatalog = IsCatalog();
  summary->m_strNote = GetNote();
  summary->m_strTypeName = GetTypeName();
  summary->m_strPath = path;
  summary->m_strSize = GetSizeText(false);
  summary->m_timeModified = GetModifiedTime();
  summary->m_bArchive = Members() != nullptr;
  return summary;
}

namespace {

int Record(const CFileInfo& item, const std::string& path, std::vector<const CFileInfo*>* items,
           CItemSummaryList* summaries) {
  if (items != nullptr) items->push_back(&item);
  if (summaries != nullptr) summaries->push_back(item.MakeSummary(path));
  return 1;
}

// Tests every item below top (whose path is topPath), members of listed
// archives included; a member found says which archive holds it. top is
// the members folder of the archive named archive, if any.
int SearchBelow(const CFolderFileInfo& top, const std::string& topPath, std::string_view archive,
                CSearchPredicate predicate, void* params, std::vector<const CFileInfo*>* items,
                CItemSummaryList* summaries) {
  int found = 0;
  // The archives the walk is inside, innermost last.
  std::vector<std::pair<const CFolderFileInfo*, std::string_view>> archives;
  if (!archive.empty()) archives.emplace_back(&top, archive);
  WalkBelow(
      top, topPath,
      [&](const CFileInfo& child, const CWalkPath& parentPath) {
        if (predicate(child, params) != 0) {
          found = Record(child, parentPath.PathOf(child), items, summaries);
          if (summaries != nullptr && !archives.empty()) summaries->back()->m_strArchive = archives.back().second;
        }
        if (const CFolderFileInfo* members = child.Members()) archives.emplace_back(members, child.GetName());
      },
      [&](const CFolderFileInfo& folder) {
        if (!archives.empty() && archives.back().first == &folder) archives.pop_back();
      },
      EWalk::WithMembers);
  return found;
}

}  // namespace

int CFileInfo::Search(CSearchPredicate predicate, void* params, const std::string& path,
                      std::vector<const CFileInfo*>* items, CItemSummaryList* summaries) const {
  int found = predicate(*this, params) != 0 ? Record(*this, path, items, summaries) : 0;
  if (const CFolderFileInfo* members = Members())
    found |= SearchBelow(*members, path, GetName(), predicate, params, items, summaries);
  return found;
}

// --- CFolderFileInfo ---

CFolderFileInfo::~CFolderFileInfo() { DestroyChildren(); }

void CFolderFileInfo::DestroyChildren() {
  // Deep trees are torn down with an explicit stack of the folders still to
  // empty rather than by recursion. A catalog with an arena of its own
  // empties itself before its arena goes.
  struct CPending {
    CFolderFileInfo* pFolder;
    CItemArena* pArena;  // the one the folder was made in
  };
  std::vector<CPending> pending;
  auto empty = [&pending](CFolderFileInfo& folder) {
    // Most items are plain files: their destructor would do nothing (a file
    // item's members own no memory; only the extra block does), so they are
    // counted out of the arena together.
    std::size_t plainFiles = 0;
    for (auto& child : folder.m_children) {
      CFileInfo* item = child.release();
      // An archive's members folder (made on the heap) joins the stack too,
      // so that archives inside archives cost no recursion either.
      if (item->m_wFlags & kHasMembers) {
        pending.push_back({item->Extra().pMembers.release(), nullptr});
        item->m_wFlags &= std::uint16_t(~kHasMembers);
      }
      if (IsPlainFileInArena(*item))
        ++plainFiles;
      else if (item->IsContainer() && !OwnsArena(*item))
        pending.push_back({static_cast<CFolderFileInfo*>(item), folder.m_pArena});
      else
        DestroyItem(item, folder.m_pArena);
    }
    folder.m_children.clear();
    if (plainFiles != 0) folder.m_pArena->Release(plainFiles);
  };
  empty(*this);
  while (!pending.empty()) {
    const CPending next = pending.back();
    pending.pop_back();
    empty(*next.pFolder);
    DestroyItem(next.pFolder, next.pArena);
  }
}

std::string CFolderFileInfo::GetTypeName() const { return IsLink() ? kLinkTypeName : TypeNameFor(std::string(), true); }

void CFolderFileInfo::GetInfo(CPropInfoData& info, const std::string& path) const {
  info.m_nType = CPropInfoData::TYPE_FOLDER;
  info.m_strName = std::string(GetName());
  info.m_strKind = GetTypeName();
  info.m_strNote = GetNote();
  info.m_strCreated = FormatTime(GetCreatedTime());
  info.m_strPath = path;
  info.m_strAttributes = FormatAttributes(GetAttributes());
  std::uint64_t total = 0;
  SumContentSizes(total);
  info.m_strSize = FormatSize(total, true);
}

int CFolderFileInfo::Search(CSearchPredicate predicate, void* params, const std::string& path,
                            std::vector<const CFileInfo*>* items, CItemSummaryList* summaries) const {
  const int found = CFileInfo::Search(predicate, params, path, items, summaries);
  return SearchBelow(*this, path, {}, predicate, params, items, summaries) | found;
}

CFileInfo* CFolderFileInfo::AddChild(const CFindData* record) {
  const bool folder = record != nullptr && (record->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  return AddNew(folder ? KIND_FOLDER : KIND_FILE, record, false);
}

CFileInfo* CFolderFileInfo::AddChildOfKind(EKind kind, const CFindData& record) { return AddNew(kind, &record, true); }

CFileInfo* CFolderFileInfo::AddNew(EKind kind, const CFindData* record, bool alone) {
  CFileInfo* child = nullptr;
  CFolderFileInfo* folder = nullptr;
  switch (kind) {
    case KIND_FILE: child = NewItem<CFileInfo>(record, m_pArena, alone); break;
    case KIND_FOLDER: child = folder = NewItem<CFolderFileInfo>(record, m_pArena, alone); break;
    case KIND_SET: child = folder = NewItem<CRootFileInfo>(record, m_pArena, alone); break;
    case KIND_CATALOG: {
      auto* catalog = NewItem<CDriveFileInfo>(record, m_pArena, alone);
      child = catalog;
      // A catalog nested in another (files of other writers) shares its arena.
      if (m_pArena != nullptr) {
        catalog->m_pOwnArena.reset();
        folder = catalog;
      }
      break;
    }
  }
  if (folder != nullptr) folder->m_pArena = m_pArena;
  child->m_wFlags |= std::uint16_t(m_wFlags & kInArchive);
  try {
    m_children.emplace_back(child);
  } catch (...) {
    DestroyItem(child, m_pArena);
    throw;
  }
  return child;
}

void CFolderFileInfo::AppendChild(std::unique_ptr<CFileInfo> child) { m_children.push_back(std::move(child)); }

bool CFolderFileInfo::OwnsArena(const CFileInfo& item) {
  return item.IsCatalog() && static_cast<const CDriveFileInfo&>(item).m_pOwnArena != nullptr;
}

void CFolderFileInfo::RemoveChild(const CFileInfo* child) {
  auto it = std::find_if(m_children.begin(), m_children.end(),
                         [child](const std::unique_ptr<CFileInfo>& p) { return p.get() == child; });
  if (it == m_children.end()) return;
  CFileInfo* item = it->release();
  m_children.erase(it);
  DestroyItem(item, m_pArena);
}

CFolderFileInfo& CFolderFileInfo::AttachMembers(CFileInfo& child, std::uint8_t state) {
  auto members = Create(nullptr);
  members->m_pArena = m_pArena;
  members->m_wFlags |= kInArchive;
  CFolderFileInfo& made = *members;
  CExtra& extra = child.Extra();
  extra.pMembers = std::move(members);
  extra.nArchiveState = state;
  child.m_wFlags |= kHasMembers;
  return made;
}

void CFolderFileInfo::SumContentSizes(std::uint64_t& total) const {
  std::vector<const CFolderFileInfo*> pending{this};
  while (!pending.empty()) {
    const CFolderFileInfo* folder = pending.back();
    pending.pop_back();
    for (const auto& child : folder->m_children) {
      if (child->IsContainer())
        pending.push_back(static_cast<const CFolderFileInfo*>(child.get()));
      else
        AddSize(total, child->GetSize());
    }
  }
}

// --- lookup ---

const CFileInfo* FindByPath(const CFileInfo* start, std::string_view startPath, std::string_view path,
                            std::string* itemPath) {
  const CFileInfo* current = start;
  std::string currentPath;
  if (itemPath != nullptr) currentPath = std::string(startPath);
  while (!path.empty()) {
    const CFolderFileInfo* folder = current->AsContainer();
    if (folder == nullptr) return nullptr;
    // A name is followed by "\\" or ends the path. Labels of other writers'
    // catalogs may hold "\\" themselves: they match as written, and the
    // longest name that matches wins.
    const CFileInfo* next = nullptr;
    std::size_t length = 0;
    for (const auto& child : folder->Children()) {
      const std::string_view name = child->GetName();
      if ((next == nullptr || name.size() > length) && path.compare(0, name.size(), name) == 0 &&
          (path.size() == name.size() || path[name.size()] == '\\')) {
        next = child.get();
        length = name.size();
        if (name.size() == path.size()) break;
      }
    }
    if (next == nullptr) return nullptr;
    path = length == path.size() ? std::string_view() : path.substr(length + 1);
    if (itemPath != nullptr) currentPath = next->PathUnder(currentPath);
    current = next;
  }
  if (itemPath != nullptr) *itemPath = std::move(currentPath);
  return current;
}

const CFileInfo* FindByPath(const CFileInfo* start, std::string_view path) {
  return FindByPath(start, {}, path, nullptr);
}

CFileInfo* FindByPath(CFileInfo* start, std::string_view path) {
  return const_cast<CFileInfo*>(FindByPath(static_cast<const CFileInfo*>(start), {}, path, nullptr));
}

void CFileInfo::Serialize(CArchiveWriter&) const {}
void CFileInfo::Serialize(CArchiveReader&) {}

std::uint64_t CountItemsBelow(const CFolderFileInfo& folder) {
  std::uint64_t count = 0;
  std::vector<const CFolderFileInfo*> pending{&folder};
  while (!pending.empty()) {
    const CFolderFileInfo* next = pending.back();
    pending.pop_back();
    count += next->Children().size();
    for (const auto& child : next->Children())
      if (child->IsContainer()) pending.push_back(static_cast<const CFolderFileInfo*>(child.get()));
  }
  return count;
}
