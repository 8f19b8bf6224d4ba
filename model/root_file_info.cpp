#include "model/root_file_info.h"

#include <ctime>

#include "model/archive.h"
#include "model/search_match.h"
#include "model/text_format.h"

CRootFileInfo::CRootFileInfo(std::string name)
    : m_strSetName(std::move(name)), m_timeUpdated(std::int32_t(std::time(nullptr))) {}

void CRootFileInfo::GetInfo(CPropInfoData& info, const std::string&) const {
  info.m_nType = CPropInfoData::TYPE_SET;
  info.m_strName = m_strSetName;
  info.m_strNote = GetNote();
  info.m_strCreated = FormatTime(GetCreatedTime());
  info.m_strCatalogCount = std::to_string(GetCatalogCount());
}

void CRootFileInfo::Serialize(CArchiveWriter& ar) const { ar.WriteDword(std::uint32_t(m_timeUpdated)); }

void CRootFileInfo::Serialize(CArchiveReader& ar) {
  std::uint32_t time = 0;
  ar.ReadDword(time);
  m_timeUpdated = std::int32_t(time);
}

CDriveFileInfo* CRootFileInfo::AppendCatalog(std::unique_ptr<CDriveFileInfo> catalog, CTime now) {
  catalog->m_timeCataloged = std::int32_t(now);
  m_timeUpdated = std::int32_t(now);
  CDriveFileInfo* raw = catalog.get();
  m_children.push_back(std::move(catalog));
  return raw;
}

CDriveFileInfo* CRootFileInfo::ReplaceCatalog(const CDriveFileInfo& old, std::unique_ptr<CDriveFileInfo> fresh) {
  for (auto& child : m_children) {
    if (child.get() != &old) continue;
    CDriveFileInfo* raw = fresh.get();
    // The old catalog may have been made in this set's arena: it goes back
    // the way it came, with its own arena after its tree.
    CFileInfo* previous = child.release();
    child = std::move(fresh);
    DestroyItem(previous, m_pArena);
    return raw;
  }
  return nullptr;
}

void CRootFileInfo::ForgetFingerprintsOf(const CFileInfo& nested) {
  // The catalog holding nested keys its fingerprints by position, and the
  // items after nested move up.
  for (const auto& child : m_children) {
    if (!child->IsCatalog()) continue;
    auto& catalog = static_cast<CDriveFileInfo&>(*child);
    if (catalog.m_fingerprints.Empty()) continue;
    std::uint32_t found = 0;
    ForItemsWithOffsets(catalog, [&](const CFileInfo& item, std::uint32_t offset) {
      if (&item == &nested) found = offset;
    });
    if (found == 0) continue;
    const auto count = std::uint32_t(1 + CountItemsBelow(static_cast<const CFolderFileInfo&>(nested)));
    catalog.m_fingerprints.RemoveRange(found, count);
  }
}

int CRootFileInfo::RemoveCatalog(const std::string& path) {
  const CFileInfo* item = FindByPath(static_cast<const CFileInfo*>(this), path);
  if (item == nullptr || !item->IsCatalog()) return 0;
  // A catalog stands directly in the set; one found deeper (files of other
  // writers may nest them) is unlinked from its own folder.
  std::vector<CFolderFileInfo*> pending{this};
  while (!pending.empty()) {
    CFolderFileInfo* folder = pending.back();
    pending.pop_back();
    for (const auto& child : folder->Children()) {
      if (child.get() == item) {
        ForgetFingerprintsOf(*item);
        folder->RemoveChild(item);
        return 1;
      }
      if (child->IsContainer()) pending.push_back(static_cast<CFolderFileInfo*>(child.get()));
    }
  }
  return 0;
}

void CRootFileInfo::GetNote(const std::string& path, std::string& out) const {
  if (const CFileInfo* item = FindByPath(static_cast<const CFileInfo*>(this), path)) out = item->GetNote();
}

void CRootFileInfo::GetCommonNote(const std::vector<std::string>& paths, std::string& out) const {
  if (paths.empty()) return;
  const std::string* common = nullptr;
  for (const std::string& path : paths) {
    const CFileInfo* item = FindByPath(static_cast<const CFileInfo*>(this), path);
    if (item == nullptr) return;
    if (common != nullptr && *common != item->GetNote()) return;
    common = &item->GetNote();
  }
  out = *common;
}

int CRootFileInfo::SetNote(const std::string& path, const std::string& note) {
  CFileInfo* item = FindByPath(static_cast<CFileInfo*>(this), path);
  if (item == nullptr || item->GetNote() == note) return 0;
  item->SetNoteText(note);
  return 1;
}

int CRootFileInfo::SetNotes(const std::vector<std::string>& paths, const std::string& note) {
  int changed = 0;
  for (const std::string& path : paths) changed |= SetNote(path, note);
  return changed;
}

int CRootFileInfo::ListChildren(const std::string& path, CItemSummaryList& out, bool foldersOnly) const {
  std::string itemPath;
  const CFileInfo* item = FindByPath(this, {}, path, &itemPath);
  const CFolderFileInfo* folder = item == nullptr ? nullptr : item->AsContainer();
  if (folder == nullptr) return 0;
  for (const auto& child : folder->Children()) {
    if (foldersOnly && child->AsContainer() == nullptr) continue;
    out.push_back(child->MakeSummary(child->PathUnder(itemPath)));
  }
  return 1;
}

std::unique_ptr<CItemSummary> CRootFileInfo::GetItemSummary(const std::string& path) const {
  std::string itemPath;
  const CFileInfo* item = FindByPath(this, {}, path, &itemPath);
  return item == nullptr ? nullptr : item->MakeSummary(itemPath);
}

void CRootFileInfo::GetSelectionInfo(const std::vector<std::string>& paths, CPropInfoData& info) const {
  if (paths.empty()) return;
  if (paths.size() == 1) {
    std::string itemPath;
    const CFileInfo* item = FindByPath(this, {}, paths.front(), &itemPath);
    if (item == nullptr) return;
    item->GetInfo(info, itemPath);
    const CFileInfo* top = FindByPath(this, itemPath.substr(0, itemPath.find('\\')));
    if (!item->IsContainer() && top != nullptr && top->IsCatalog())
      if (const auto fingerprint = FingerprintOf(static_cast<const CDriveFileInfo&>(*top), *item))
        info.m_strFingerprint = fingerprint->Hex();
    return;
  }
  info.m_nType = CPropInfoData::TYPE_SEVERAL;
  info.m_strName = "複数のファイル";
  info.m_strKind = "複数の種類";
  info.m_strPath = "複数の場所";
  info.m_strAttributes = "複数の属性";
  GetCommonNote(paths, info.m_strNote);
  std::uint64_t total = 0;
  for (const std::string& path : paths) {
    const CFileInfo* item = FindByPath(static_cast<const CFileInfo*>(this), path);
    if (item == nullptr) continue;
    if (item->IsContainer())
      static_cast<const CFolderFileInfo*>(item)->SumContentSizes(total);
    else
      AddSize(total, item->GetSize());
  }
  info.m_strSize = FormatSize(total, true);
}

int CRootFileInfo::SearchFrom(const std::string& path, CSearchPredicate predicate, void* params, CItemSummaryList& out,
                              std::vector<const CFileInfo*>* items) const {
  std::string startPath;
  const CFileInfo* start = FindByPath(this, {}, path, &startPath);
  if (start == nullptr) {
    start = this;
    startPath.clear();
  }
  return start->Search(predicate, params, startPath, items, &out);
}

int CRootFileInfo::FindByName(const std::string& path, const std::string& pattern, bool exact, bool caseSensitive,
                              CItemSummaryList& out, CTextOptions options) const {
  // The pattern as typed, where bytes that are no text read as the views show them.
  CTextCriterion criterion(NameFromDisplay(pattern), exact, caseSensitive, options, true);
  return SearchFrom(path, MatchName, &criterion, out);
}

int CRootFileInfo::FindByNote(const std::string& path, const std::string& pattern, bool exact, bool caseSensitive,
                              CItemSummaryList& out, CTextOptions options) const {
  CTextCriterion criterion(pattern, exact, caseSensitive, options);
  return SearchFrom(path, MatchNote, &criterion, out);
}

int CRootFileInfo::FindBySize(const std::string& path, std::uint32_t lowerKB, std::uint32_t upperKB,
                              CItemSummaryList& out) const {
  CSizeCriterion criterion{lowerKB, upperKB};
  return SearchFrom(path, MatchSize, &criterion, out);
}

int CRootFileInfo::FindByDate(const std::string& path, std::optional<CTime> lower, std::optional<CTime> upper,
                              CItemSummaryList& out) const {
  CDateCriterion criterion{lower, upper};
  return SearchFrom(path, MatchDate, &criterion, out);
}
