#include "model/archive_catalog.h"

#include <algorithm>

#include "model/fingerprints.h"
#include "platform/cp932_codec.h"
#include "platform/path_separator.h"

void ListCatalogArchives(CDriveFileInfo& catalog, const CScanOptions& options, CArchiveOutcome& outcome,
                         const CArchiveLimits& limits, const CContentReaderFactory& makeReader) {
  if (options.nArchiveDepth <= 0 || !IsRootedPath(UnescapeBytes(catalog.m_strCatalogedPath))) return;
  CArchiveLimits asked = limits;
  asked.nDepth = options.nArchiveDepth;
  std::unique_ptr<CContentReader> reader = makeReader ? makeReader() : MakeFileContentReader();
  const CFileFilter filter = [](const CFileInfo& item, std::uint32_t) {
    return item.Members() == nullptr && IsArchiveName(item.GetName());
  };
  CCatalogFileWalk walk(catalog, filter);
  std::vector<std::uint32_t> unopened;
  for (CCatalogFile file; walk.Next(file);) {
    if (options.Cancelled()) {
      outcome.bCancelled = true;
      return;
    }
    // The walk hands items out as const; the catalog is ours to change.
    auto& item = const_cast<CFileInfo&>(*file.pItem);
    CFolderFileInfo& members = catalog.AttachMembers(item, 0);
    std::uint8_t state = 0;
    const EListArchive result = file.strRealPath.empty()
                                    ? EListArchive::Unopened
                                    : ListArchive(*reader, file.strRealPath, members, asked, options.pCancel, state);
    if (result == EListArchive::Cancelled) {
      outcome.bCancelled = true;
      return;
    }
    if (result == EListArchive::Unopened) {
      item.DropMembers();
      unopened.push_back(file.nOffset);
      continue;
    }
    item.SetArchiveState(state);
    ++outcome.nListed;
  }
  if (!unopened.empty())
    outcome.unopened = LogicalPathsWhere(catalog, [&](const CFileInfo&, std::uint32_t offset) {
      return std::binary_search(unopened.begin(), unopened.end(), offset);
    });
}

void CopyChildren(const CFolderFileInfo& from, CFolderFileInfo& to) {
  std::vector<std::pair<const CFolderFileInfo*, CFolderFileInfo*>> stack{{&from, &to}};
  while (!stack.empty()) {
    const auto [in, out] = stack.back();
    stack.pop_back();
    for (const auto& child : in->Children()) {
      const CFindData record = child->GetFindData();
      CFileInfo* copy = out->AddChild(&record);
      copy->SetRealNameCp932(child->IsRealNameCp932());
      copy->SetUnreadable(child->IsUnreadable());
      copy->SetEntryKind(child->EntryKind());
      if (!child->GetNote().empty()) copy->SetNoteText(child->GetNote());
      if (const CFolderFileInfo* inner = child->Members())
        stack.emplace_back(inner, &out->AttachMembers(*copy, child->ArchiveState()));
      else if (child->IsContainer() && copy->IsContainer())
        stack.emplace_back(static_cast<const CFolderFileInfo*>(child.get()), static_cast<CFolderFileInfo*>(copy));
    }
  }
}

void CopyMembers(const CFileInfo& from, CFolderFileInfo& folder, CFileInfo& to) {
  if (const CFolderFileInfo* members = from.Members())
    CopyChildren(*members, folder.AttachMembers(to, from.ArchiveState()));
}
