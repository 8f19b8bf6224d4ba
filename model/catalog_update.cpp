#include "model/catalog_update.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <string_view>
#include <utility>

#include "model/root_file_info.h"
#include "model/scan_paths.h"
#include "platform/dir_reader.h"
#include "platform/path_separator.h"

namespace {

std::vector<const CFileInfo*> SortedByName(const CFolderFileInfo& folder) {
  std::vector<const CFileInfo*> sorted;
  sorted.reserve(folder.Children().size());
  for (const auto& child : folder.Children()) sorted.push_back(child.get());
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const CFileInfo* a, const CFileInfo* b) { return a->GetName() < b->GetName(); });
  return sorted;
}

// Walks the old and the new tree in step, folder by folder: each folder's
// children sorted by name and merged, so only the folders on the current
// path hold anything. Calls oldOnly(item, path) and newOnly(item, path) for
// an item found in one tree alone (not its contents), and both(old, new,
// path) for a pair, descending into pairs of folders.
template <class FOld, class FNew, class FBoth>
void WalkInStep(const CFolderFileInfo& oldTop, const CFolderFileInfo& newTop, std::string path, FOld&& oldOnly,
                FNew&& newOnly, FBoth&& both) {
  struct CFrame {
    std::vector<const CFileInfo*> olds, news;
    std::size_t i = 0, j = 0, nPathLength = 0;
  };
  std::vector<CFrame> stack;
  stack.push_back({SortedByName(oldTop), SortedByName(newTop), 0, 0, path.size()});
  while (!stack.empty()) {
    CFrame& frame = stack.back();
    path.resize(frame.nPathLength);
    const bool oldLeft = frame.i < frame.olds.size(), newLeft = frame.j < frame.news.size();
    if (!oldLeft && !newLeft) {
      stack.pop_back();
      continue;
    }
    const CFileInfo* oldItem = oldLeft ? frame.olds[frame.i] : nullptr;
    const CFileInfo* newItem = newLeft ? frame.news[frame.j] : nullptr;
    if (oldItem != nullptr && newItem != nullptr) {
      const int order = oldItem->GetName().compare(newItem->GetName());
      if (order < 0) newItem = nullptr;
      if (order > 0) oldItem = nullptr;
    }
    path.append(1, '\\').append(oldItem != nullptr ? oldItem->GetName() : newItem->GetName());
    if (oldItem != nullptr) ++frame.i;
    if (newItem != nullptr) ++frame.j;
    if (newItem == nullptr) {
      oldOnly(*oldItem, path);
    } else if (oldItem == nullptr) {
      newOnly(*newItem, path);
    } else {
      both(*oldItem, *newItem, path);
      if (oldItem->IsContainer() && newItem->IsContainer())
        stack.push_back({SortedByName(static_cast<const CFolderFileInfo&>(*oldItem)),
                         SortedByName(static_cast<const CFolderFileInfo&>(*newItem)), 0, 0, path.size()});
    }
  }
}

// Calls each(item, path) for item and, for a folder, everything below it.
template <class FEach>
void ForSubtree(const CFileInfo& item, const std::string& path, FEach&& each) {
  each(item, path);
  if (!item.IsContainer()) return;
  WalkBelow(static_cast<const CFolderFileInfo&>(item), path,
            [&](const CFileInfo& child, const CWalkPath& walkPath) { each(child, walkPath.PathOf(child)); });
}

std::string JoinRealPath(const std::string& folder, const std::string& name) {
  return IsRootPath(folder) ? folder + name : folder + kPathSeparator + name;
}

// An entry that was there before the catalog was made. Only a birth time of
// its own counts: where the file system keeps none, the record carries the
// modification time, which copies keep, and the entry counts as new.
bool BornBefore(const CFindData& record, std::uint64_t fileTime) {
  return record.ftCreationTime != 0 && record.ftCreationTime != record.ftLastWriteTime &&
         record.ftCreationTime < fileTime;
}

// A folder of the catalog was scanned whole unless its real folder holds an
// entry, there before the catalog, that the catalog lacks: then it lies
// between the base path and dropped paths, and holds only those.
void CollectScanPaths(const CFolderFileInfo& folder, const std::string& realPath, std::uint64_t catalogedAt,
                      std::vector<std::string>& out) {
  std::vector<CDirEntry> entries;
  CFolderLister lister;
  const int fd = lister.OpenFolder(AT_FDCWD, realPath);
  if (fd >= 0) {
    lister.ReadEntries(fd, entries);
    close(fd);
  }
  const std::vector<const CFileInfo*> children = SortedByName(folder);
  const auto findChild = [&](std::string_view name) {
    const auto it = std::lower_bound(children.begin(), children.end(), name,
                                     [](const CFileInfo* child, std::string_view key) { return child->GetName() < key; });
    return it != children.end() && (*it)->GetName() == name ? *it : nullptr;
  };
  const bool whole = std::none_of(entries.begin(), entries.end(), [&](const CDirEntry& entry) {
    return BornBefore(entry.record, catalogedAt) && findChild(entry.record.cFileName) == nullptr;
  });
  if (whole) {
    out.push_back(realPath);
    return;
  }
  std::sort(entries.begin(), entries.end(),
            [](const CDirEntry& a, const CDirEntry& b) { return a.record.cFileName < b.record.cFileName; });
  for (const auto& child : folder.Children()) {
    auto entry = std::lower_bound(entries.begin(), entries.end(), child->GetName(),
                                  [](const CDirEntry& e, std::string_view name) { return e.record.cFileName < name; });
    if (entry != entries.end() && entry->record.cFileName != child->GetName()) entry = entries.end();
    const std::string path = JoinRealPath(realPath, entry != entries.end() ? entry->strRawName : std::string(child->GetName()));
    if (child->IsContainer() && entry != entries.end() && (entry->record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
      CollectScanPaths(static_cast<const CFolderFileInfo&>(*child), path, catalogedAt, out);
    else
      out.push_back(path);
  }
}

}  // namespace

CUpdateSummary CompareCatalogs(const CDriveFileInfo& old, const CDriveFileInfo& fresh, const CChangeVisitor& visit) {
  CUpdateSummary summary;
  summary.bBasePathChanged = old.m_strCatalogedPath != fresh.m_strCatalogedPath;
  const auto tell = [&](EItemChange change, const std::string& path) {
    if (visit) visit(change, path);
  };
  const auto removed = [&](const CFileInfo& item, const std::string& path) {
    ForSubtree(item, path, [&](const CFileInfo& gone, const std::string& gonePath) {
      ++summary.nRemoved;
      if (gone.GetNote().empty()) {
        tell(EItemChange::Removed, gonePath);
      } else {
        summary.lostNotes.push_back(gonePath);
        tell(EItemChange::NoteLost, gonePath);
      }
    });
  };
  const auto added = [&](const CFileInfo& item, const std::string& path) {
    ForSubtree(item, path, [&](const CFileInfo&, const std::string& newPath) {
      ++summary.nAdded;
      tell(EItemChange::Added, newPath);
    });
  };
  const auto paired = [&](const CFileInfo& was, const CFileInfo& now, const std::string& path) {
    if (!was.GetNote().empty()) ++summary.nNotesKept;
    const bool sameKind = was.IsContainer() == now.IsContainer();
    if (!sameKind || was.RecordSize() != now.RecordSize() || was.WriteFileTime() != now.WriteFileTime()) {
      ++summary.nChanged;
      tell(EItemChange::Changed, path);
    }
    if (sameKind) return;
    // A file that became a folder, or the other way: the contents differ.
    const auto below = [&](const CFileInfo& item, auto&& each) {
      if (!item.IsContainer()) return;
      for (const auto& child : static_cast<const CFolderFileInfo&>(item).Children())
        each(*child, child->PathUnder(path));
    };
    below(was, removed);
    below(now, added);
  };
  WalkInStep(old, fresh, std::string(old.GetName()), removed, added, paired);
  return summary;
}

CDriveFileInfo* ApplyCatalogUpdate(CRootFileInfo& set, const CDriveFileInfo& old, std::unique_ptr<CDriveFileInfo> fresh,
                                   CTime now) {
  const bool inSet = std::any_of(set.Children().begin(), set.Children().end(),
                                 [&](const auto& child) { return child.get() == &old; });
  if (!inSet || !fresh) return nullptr;
  // The walk hands out the new tree's items as const; fresh is ours to change.
  WalkInStep(
      old, *fresh, std::string(old.GetName()), [](const CFileInfo&, const std::string&) {},
      [](const CFileInfo&, const std::string&) {},
      [](const CFileInfo& was, const CFileInfo& now, const std::string&) {
        if (!was.GetNote().empty()) const_cast<CFileInfo&>(now).SetNoteText(was.GetNote());
      });
  fresh->m_strLabel = old.m_strLabel;
  fresh->m_strReserved = old.m_strReserved;
  fresh->SetNoteText(old.GetNote());
  fresh->m_timeCataloged = std::int32_t(now);
  set.m_timeUpdated = std::int32_t(now);
  return set.ReplaceCatalog(old, std::move(fresh));
}

bool CatalogPlacePresent(const CDriveFileInfo& catalog) {
  const std::string& base = catalog.m_strCatalogedPath;
  return IsRootedPath(base) && FolderExists(base);
}

std::vector<std::string> CatalogScanPaths(const CDriveFileInfo& catalog, const std::string& place) {
  std::vector<std::string> paths;
  if (catalog.Children().empty() || catalog.m_timeCataloged <= 0) return {place};
  CollectScanPaths(catalog, place, UnixToFileTime(catalog.m_timeCataloged, 0), paths);
  return paths;
}

EScanStatus ScanForUpdate(const CDriveFileInfo& catalog, const std::string& place, const CScanOptions& options,
                          std::unique_ptr<CDriveFileInfo>& out, std::string& message) {
  out.reset();
  message.clear();
  std::string base = MakeAbsolutePath(place);
  StripTrailingBackslash(base);
  if (base.empty() || !FolderExists(base)) return EScanStatus::NotFound;
  const std::vector<std::string> paths = CatalogScanPaths(catalog, base);
  const std::string label(catalog.GetName());
  if (paths.size() == 1 && paths[0] == base) return ScanCatalog(label, paths, options, out, message);
  return ScanCatalogBelow(label, base, paths, options, out, message);
}
