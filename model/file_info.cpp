#include "model/file_info.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "model/root_file_info.h"
#include "model/text_format.h"

// Fields most items leave empty; an item without them holds a null pointer.
struct CFileInfo::CExtra {
  std::string strNote;
  std::string strAlternateName;
  std::string strStoredPath;
  bool bHasStoredPath = false;
  std::uint32_t dwReserved0 = 0;
  std::uint32_t dwReserved1 = 0;
  std::unique_ptr<std::string[]> pStoredBytes;  // TEXT_FIELDS texts' bytes as read

  bool IsEmpty() const {
    return strNote.empty() && strAlternateName.empty() && !bHasStoredPath && dwReserved0 == 0 &&
           dwReserved1 == 0 && !pStoredBytes;
  }
};

namespace {
const std::string kEmpty;
}

template <class T>
std::unique_ptr<T> CFileInfo::NewItem(const CFindData* record) {
  std::string_view name;
  if (record != nullptr) name = record->cFileName;
  const std::size_t length = std::min<std::size_t>(name.size(), 0xFFFF);
  void* memory = ::operator new(sizeof(T) + length);
  T* item = nullptr;
  try {
    item = ::new (memory) T();
  } catch (...) {
    ::operator delete(memory);
    throw;
  }
  std::unique_ptr<T> owner(item);
  if (length != 0) std::memcpy(static_cast<char*>(memory) + sizeof(T), name.data(), length);
  static_assert(sizeof(T) % 8 == 0 && sizeof(T) / 8 < 256, "the name offset is kept in one byte");
  owner->m_nNameOffset = std::uint8_t(sizeof(T) / 8);
  owner->m_nNameLength = std::uint16_t(length);
  if (record != nullptr) owner->AssignRecord(*record);
  return owner;
}

std::unique_ptr<CFileInfo> CFileInfo::Create(const CFindData* record) { return NewItem<CFileInfo>(record); }

std::unique_ptr<CFolderFileInfo> CFolderFileInfo::Create(const CFindData* record) {
  return NewItem<CFolderFileInfo>(record);
}

std::unique_ptr<CFileInfo> CFileInfo::CreateOfKind(EKind kind, const CFindData& record) {
  switch (kind) {
    case KIND_FILE: return NewItem<CFileInfo>(&record);
    case KIND_FOLDER: return NewItem<CFolderFileInfo>(&record);
    case KIND_CATALOG: return NewItem<CDriveFileInfo>(&record);
    case KIND_SET: return NewItem<CRootFileInfo>(&record);
  }
  return nullptr;
}

CFileInfo::~CFileInfo() = default;

void CFileInfo::AssignRecord(const CFindData& record) {
  m_dwAttributes = record.dwFileAttributes;
  m_ftCreation = record.ftCreationTime;
  m_ftAccess = record.ftLastAccessTime;
  m_ftWrite = record.ftLastWriteTime;
  m_nSize = record.Size();
  if (!record.cAlternateFileName.empty() || record.dwReserved0 != 0 || record.dwReserved1 != 0) {
    CExtra& extra = Extra();
    extra.strAlternateName = record.cAlternateFileName;
    extra.dwReserved0 = record.dwReserved0;
    extra.dwReserved1 = record.dwReserved1;
  }
}

void CFileInfo::CExtraDeleter::operator()(CExtra* extra) const { delete extra; }

CFileInfo::CExtra& CFileInfo::Extra() {
  if (!m_pExtra) m_pExtra.reset(new CExtra());
  return *m_pExtra;
}

void CFileInfo::DropExtraIfEmpty() {
  if (m_pExtra && m_pExtra->IsEmpty()) m_pExtra.reset();
}

std::string_view CFileInfo::FileName() const {
  if (m_nNameOffset == 0) return {};
  return std::string_view(reinterpret_cast<const char*>(this) + m_nNameOffset * 8, m_nNameLength);
}

const std::string& CFileInfo::AlternateName() const { return m_pExtra ? m_pExtra->strAlternateName : kEmpty; }
std::uint32_t CFileInfo::Reserved0() const { return m_pExtra ? m_pExtra->dwReserved0 : 0; }
std::uint32_t CFileInfo::Reserved1() const { return m_pExtra ? m_pExtra->dwReserved1 : 0; }
const std::string& CFileInfo::GetNote() const { return m_pExtra ? m_pExtra->strNote : kEmpty; }

void CFileInfo::SetNoteText(std::string note) {
  if (m_nTextForms != 0) SetStoredForm(TEXT_NOTE, false, {});
  if (note.empty() && !m_pExtra) return;
  Extra().strNote = std::move(note);
  DropExtraIfEmpty();
}

std::string_view CFileInfo::StoredBytes(ETextField field) const {
  if ((m_nTextForms >> (4 + field) & 1) == 0) return {};
  return m_pExtra->pStoredBytes[field];
}

void CFileInfo::SetStoredForm(ETextField field, bool wide, std::string bytes) {
  const auto wideBit = std::uint8_t(1u << field), bytesBit = std::uint8_t(1u << (4 + field));
  m_nTextForms = std::uint8_t(wide ? m_nTextForms | wideBit : m_nTextForms & ~wideBit);
  if (bytes.empty() && (m_nTextForms & bytesBit) == 0) return;
  CExtra& extra = Extra();
  if (!extra.pStoredBytes) extra.pStoredBytes.reset(new std::string[TEXT_FIELDS]);
  extra.pStoredBytes[field] = std::move(bytes);
  if (extra.pStoredBytes[field].empty()) {
    m_nTextForms = std::uint8_t(m_nTextForms & ~bytesBit);
    if ((m_nTextForms >> 4) == 0) extra.pStoredBytes.reset();
    DropExtraIfEmpty();
  } else {
    m_nTextForms = std::uint8_t(m_nTextForms | bytesBit);
  }
}

CFindData CFileInfo::GetFindData() const {
  CFindData record;
  record.dwFileAttributes = m_dwAttributes;
  record.ftCreationTime = m_ftCreation;
  record.ftLastAccessTime = m_ftAccess;
  record.ftLastWriteTime = m_ftWrite;
  record.SetSize(m_nSize);
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
  if (m_pExtra && m_pExtra->bHasStoredPath) return m_pExtra->strStoredPath;
  return DerivedPath(parentPath);
}

bool CFileInfo::AppendsToParentPath() const {
  return !(m_pExtra && m_pExtra->bHasStoredPath) && GetKind() <= KIND_FOLDER;
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

void CFileInfo::SetStoredPath(std::string_view storedPath, std::string_view parentPath) {
  if (storedPath == DerivedPath(parentPath)) {
    if (m_pExtra) {
      m_pExtra->bHasStoredPath = false;
      m_pExtra->strStoredPath.clear();
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
std::string CFileInfo::GetTypeName() const { return TypeNameFor(ExtensionOf(GetName()), false); }

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
}

std::unique_ptr<CItemSummary> CFileInfo::MakeSummary(const std::string& path) const {
  auto summary = std::make_unique<CItemSummary>();
  summary->m_strName = std::string(GetName());
  summary->m_bContainer = IsContainer() != 0;
  summary->m_bCatalog = IsCatalog() != 0;
  summary->m_strNote = GetNote();
  summary->m_strTypeName = GetTypeName();
  summary->m_strPath = path;
  summary->m_strSize = GetSizeText(false);
  summary->m_timeModified = GetModifiedTime();
  return summary;
}

namespace {

int Record(const CFileInfo& item, const std::string& path, std::vector<const CFileInfo*>* items,
           CItemSummaryList* summaries) {
  if (items != nullptr) items->push_back(&item);
  if (summaries != nullptr) summaries->push_back(item.MakeSummary(path));
  return 1;
}

}  // namespace

int CFileInfo::Search(CSearchPredicate predicate, void* params, const std::string& path,
                      std::vector<const CFileInfo*>* items, CItemSummaryList* summaries) const {
  if (predicate(*this, params) == 0) return 0;
  return Record(*this, path, items, summaries);
}

// --- CFolderFileInfo ---

CFolderFileInfo::~CFolderFileInfo() {
  // Deep trees are torn down with an explicit stack rather than recursion.
  std::vector<std::unique_ptr<CFileInfo>> pending = std::move(m_children);
  while (!pending.empty()) {
    std::unique_ptr<CFileInfo> item = std::move(pending.back());
    pending.pop_back();
    if (item->IsContainer()) {
      auto& children = static_cast<CFolderFileInfo&>(*item).m_children;
      for (auto& child : children) pending.push_back(std::move(child));
      children.clear();
    }
  }
}

std::string CFolderFileInfo::GetTypeName() const { return TypeNameFor(std::string(), true); }

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
  int found = CFileInfo::Search(predicate, params, path, items, summaries);

  WalkBelow(*this, path, [&](const CFileInfo& child, const CWalkPath& parentPath) {
    if (predicate(child, params) != 0) found = Record(child, parentPath.PathOf(child), items, summaries);
  });
  return found;
}

CFileInfo* CFolderFileInfo::AddChild(const CFindData* record) {
  std::unique_ptr<CFileInfo> child;
  if (record != nullptr && (record->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    child = CFolderFileInfo::Create(record);
  else
    child = CFileInfo::Create(record);
  CFileInfo* raw = child.get();
  m_children.push_back(std::move(child));
  return raw;
}

void CFolderFileInfo::AppendChild(std::unique_ptr<CFileInfo> child) { m_children.push_back(std::move(child)); }

void CFolderFileInfo::RemoveChild(const CFileInfo* child) {
  auto it = std::find_if(m_children.begin(), m_children.end(),
                         [child](const std::unique_ptr<CFileInfo>& p) { return p.get() == child; });
  if (it != m_children.end()) m_children.erase(it);
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
        total += child->GetSize();
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
    const std::size_t separator = path.find('\\');
    const std::string_view head = path.substr(0, separator);
    path = separator == std::string_view::npos ? std::string_view() : path.substr(separator + 1);
    if (!current->IsContainer()) return nullptr;
    const CFileInfo* next = nullptr;
    for (const auto& child : static_cast<const CFolderFileInfo*>(current)->Children()) {
      if (child->GetName() == head) {
        next = child.get();
        break;
      }
    }
    if (next == nullptr) return nullptr;
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
