#include "model/catalog_update.h"

#include "model/archive_catalog.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <string_view>
#include <utility>

#include "model/content_hashing.h"
#include "model/item_real_name.h"
#include "model/medium_match.h"
#include "model/root_file_info.h"
#include "model/scan_paths.h"
#include "model/text_format.h"
#include "platform/change_time.h"
#include "platform/cp932_codec.h"
#include "platform/dir_reader.h"
#include "platform/media_type.h"
#include "platform/path_separator.h"
#include "platform/real_name.h"

namespace {

std::vector<const CFileInfo*> SortedByName(const CFolderFileInfo& folder) {
  std::vector<const CFileInfo*> sorted;
  sorted.reserve(folder.Children().size());
  for (const auto& child : folder.Children()) sorted.push_back(child.get());
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const CFileInfo* a, const CFileInfo* b) { return a->GetName() < b->GetName(); });
  return sorted;
}

struct CPair {
  const CFileInfo* pOld;
  const CFileInfo* pNew;
  std::string_view Name() const { return (pOld != nullptr ? pOld : pNew)->GetName(); }
};

// Pairs the children of two folders by the bytes of their names on disk, so
// that a note never goes to another file that merely reads the same. Where
// the old catalog did not record how its names were stored, a name with
// other than ASCII could have been CP932 or UTF-8 on disk: when both forms
// are there now, the old item matches neither. In name order.
std::vector<CPair> MatchChildren(const CFolderFileInfo& oldFolder, const CFolderFileInfo& newFolder,
                                 bool oldNamesKnown) {
  std::vector<std::pair<std::string, const CFileInfo*>> news;
  news.reserve(newFolder.Children().size());
  for (const auto& child : newFolder.Children()) news.emplace_back(RealNameOf(*child), child.get());
  std::sort(news.begin(), news.end());
  std::vector<bool> taken(news.size());
  const auto find = [&](const std::string& bytes) -> std::ptrdiff_t {
    const auto it = std::lower_bound(news.begin(), news.end(), std::make_pair(bytes, (const CFileInfo*)nullptr));
    return it != news.end() && it->first == bytes ? it - news.begin() : -1;
  };
  std::vector<CPair> pairs;
  pairs.reserve(oldFolder.Children().size() + news.size());
  std::string cp932;
  for (const auto& child : oldFolder.Children()) {
    const std::string_view name = child->GetName();
    std::ptrdiff_t match = -1;
    const bool ascii = std::all_of(name.begin(), name.end(), [](char c) { return (unsigned char)c < 0x80; });
    if (oldNamesKnown || child->IsRealNameCp932() || ascii) {
      match = find(RealNameOf(*child));
    } else {
      const std::ptrdiff_t utf8 = find(UnescapeBytes(name));
      const std::ptrdiff_t sjis = EncodeCp932Bytes(name, cp932) ? find(cp932) : -1;
      match = utf8 >= 0 && sjis >= 0 && utf8 != sjis ? -1 : std::max(utf8, sjis);
    }
    if (match >= 0 && !taken[std::size_t(match)]) {
      taken[std::size_t(match)] = true;
      pairs.push_back({child.get(), news[std::size_t(match)].second});
    } else {
      pairs.push_back({child.get(), nullptr});
    }
  }
  for (std::size_t i = 0; i < news.size(); ++i)
    if (!taken[i]) pairs.push_back({nullptr, news[i].second});
  std::stable_sort(pairs.begin(), pairs.end(), [](const CPair& a, const CPair& b) { return a.Name() < b.Name(); });
  return pairs;
}

// Walks the old and the new tree in step, folder by folder: each folder's
// children paired (MatchChildren), so only the folders on the current path
// hold anything. Calls oldOnly(item, path) and newOnly(item, path) for an
// item found in one tree alone (not its contents), and both(old, new, path)
// for a pair, descending into pairs of folders.
template <class FOld, class FNew, class FBoth>
void WalkInStep(const CDriveFileInfo& oldTop, const CDriveFileInfo& newTop, std::string path, FOld&& oldOnly,
                FNew&& newOnly, FBoth&& both, EWalk mode = EWalk::Items) {
  struct CFrame {
    std::vector<CPair> pairs;
    std::size_t i = 0, nPathLength = 0;
  };
  const bool known = oldTop.m_record.has_value();
  std::vector<CFrame> stack;
  stack.push_back({MatchChildren(oldTop, newTop, known), 0, path.size()});
  while (!stack.empty()) {
    CFrame& frame = stack.back();
    path.resize(frame.nPathLength);
    if (frame.i == frame.pairs.size()) {
      stack.pop_back();
      continue;
    }
    const CPair pair = frame.pairs[frame.i++];
    path.append(1, '\\').append(pair.Name());
    if (pair.pNew == nullptr) {
      oldOnly(*pair.pOld, path);
    } else if (pair.pOld == nullptr) {
      newOnly(*pair.pNew, path);
    } else {
      both(*pair.pOld, *pair.pNew, path);
      const bool members = mode == EWalk::WithMembers;
      const CFolderFileInfo* was = members ? pair.pOld->AsContainer() : nullptr;
      const CFolderFileInfo* now = members ? pair.pNew->AsContainer() : nullptr;
      if (!members && pair.pOld->IsContainer() && pair.pNew->IsContainer()) {
        was = static_cast<const CFolderFileInfo*>(pair.pOld);
        now = static_cast<const CFolderFileInfo*>(pair.pNew);
      }
      if (was != nullptr && now != nullptr) stack.push_back({MatchChildren(*was, *now, known), 0, path.size()});
    }
  }
}

// Whether two items paired by path are one kind of entry (file, folder,
// link, other): only then is one taken for the other, its note, fields or
// fingerprint going over.
bool SameKind(const CFileInfo& a, const CFileInfo& b) {
  return a.IsContainer() == b.IsContainer() && a.EntryKind() == b.EntryKind();
}

// Whether was's note goes to now. A catalog made before entry kinds were
// recorded took a link or a FIFO for the file or folder it looked like:
// its notes follow those once rather than be lost.
bool NoteFollows(const CDriveFileInfo& old, const CFileInfo& was, const CFileInfo& now) {
  if (SameKind(was, now)) return true;
  const bool kindsKnown = old.m_record && old.m_record->bKindsRecorded;
  return !kindsKnown && was.IsContainer() == now.IsContainer() && was.EntryKind() == CFileInfo::EEntryKind::Regular;
}

// Calls each(item, path) for item and, for a folder, everything below it.
template <class FEach>
void ForSubtree(const CFileInfo& item, const std::string& path, FEach&& each) {
  each(item, path);
  if (!item.IsContainer()) return;
  WalkBelow(static_cast<const CFolderFileInfo&>(item), path,
            [&](const CFileInfo& child, const CWalkPath& walkPath) { each(child, walkPath.PathOf(child)); });
}

// Unreadable places named in a summary; the count says how many more.
constexpr std::size_t kUnreadableShown = 5;

std::string JoinRealPath(const std::string& folder, const std::string& name) {
  return IsRootPath(folder) ? folder + name : folder + kPathSeparator + name;
}

// An entry that was in its folder before the catalog was made. Its inode's
// change time says so where the system keeps one: moving a file in or
// making it sets it, and tools that set file times cannot. Elsewhere only a
// birth time of its own counts: where none is kept, the record carries the
// modification time, which copies keep, and the entry counts as new.
bool ThereBefore(int dirFd, const CDirEntry& entry, std::uint64_t fileTime) {
  std::uint64_t changed = 0;
  if (ReadChangeTime(dirFd, entry.strRawName, changed)) return changed < fileTime;
  const CFindData& record = entry.record;
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
  const std::vector<const CFileInfo*> children = SortedByName(folder);
  const auto findChild = [&](std::string_view name) {
    const auto it =
        std::lower_bound(children.begin(), children.end(), name,
                         [](const CFileInfo* child, std::string_view key) { return child->GetName() < key; });
    return it != children.end() && (*it)->GetName() == name ? *it : nullptr;
  };
  bool whole = true;
  if (fd >= 0) {
    lister.ReadEntries(fd, entries);
    whole = std::none_of(entries.begin(), entries.end(), [&](const CDirEntry& entry) {
      return findChild(entry.record.cFileName) == nullptr && ThereBefore(fd, entry, catalogedAt);
    });
    lister.CloseFolder(fd);
  }
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
    const std::string path =
        JoinRealPath(realPath, entry != entries.end() ? entry->strRawName : std::string(child->GetName()));
    if (child->IsContainer() && entry != entries.end() &&
        (entry->record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
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
  const auto unreadable = [&](const CFileInfo& item, const std::string& path) {
    if (!item.IsUnreadable()) return;
    if (summary.unreadable.firstPaths.size() < kUnreadableShown) summary.unreadable.firstPaths.push_back(path);
    ++summary.unreadable.nCount;
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
    ForSubtree(item, path, [&](const CFileInfo& novel, const std::string& newPath) {
      ++summary.nAdded;
      tell(EItemChange::Added, newPath);
      unreadable(novel, newPath);
    });
  };
  const auto paired = [&](const CFileInfo& was, const CFileInfo& now, const std::string& path) {
    const bool sameKind = SameKind(was, now);
    // A note follows only its own kind of entry (ApplyCatalogUpdate).
    if (!was.GetNote().empty()) {
      if (NoteFollows(old, was, now))
        ++summary.nNotesKept;
      else
        summary.lostNotes.push_back(path);
    }
    unreadable(now, path);
    if (!sameKind || was.RecordSize() != now.RecordSize() || was.WriteFileTime() != now.WriteFileTime()) {
      ++summary.nChanged;
      tell(EItemChange::Changed, path);
    }
    // Two folders' contents are paired by the walk.
    if (was.IsContainer() == now.IsContainer()) return;
    // A file that became a folder, or the other way: the contents differ.
    const auto below = [&](const CFileInfo& item, auto&& each) {
      if (!item.IsContainer()) return;
      for (const auto& child : static_cast<const CFolderFileInfo&>(item).Children())
        each(*child, child->PathUnder(path));
    };
    below(was, removed);
    below(now, added);
  };
  unreadable(fresh, std::string(old.GetName()));
  WalkInStep(old, fresh, std::string(old.GetName()), removed, added, paired);
  return summary;
}

bool IsCatalogOfSet(const CRootFileInfo& set, const CFileInfo& item) {
  return item.IsCatalog() && std::any_of(set.Children().begin(), set.Children().end(),
                                         [&](const auto& child) { return child.get() == &item; });
}

CDriveFileInfo* ApplyCatalogUpdate(CRootFileInfo& set, const CDriveFileInfo& old, std::unique_ptr<CDriveFileInfo> fresh,
                                   CTime now) {
  if (!IsCatalogOfSet(set, old) || !fresh) return nullptr;
  // The walk hands out the new tree's items as const; fresh is ours to change.
  WalkInStep(
      old, *fresh, std::string(old.GetName()), [](const CFileInfo&, const std::string&) {},
      [](const CFileInfo&, const std::string&) {},
      [&old](const CFileInfo& was, const CFileInfo& now, const std::string&) {
        if (!was.GetNote().empty() && NoteFollows(old, was, now))
          const_cast<CFileInfo&>(now).SetNoteText(was.GetNote());
      },
      EWalk::WithMembers);
  // Records of a later version about the catalog itself still hold; those
  // about its items named them by places the new tree has not kept.
  for (const CExtensionRecord& record : old.m_extraRecords)
    if (record.nKey == 0) fresh->m_extraRecords.push_back(record);
  fresh->m_strLabel = old.m_strLabel;
  fresh->m_strReserved = old.m_strReserved;
  fresh->SetNoteText(old.GetNote());
  fresh->m_timeCataloged = std::int32_t(now);
  set.m_timeUpdated = std::int32_t(now);
  return set.ReplaceCatalog(old, std::move(fresh));
}

bool CatalogPlacePresent(const CDriveFileInfo& catalog) {
  const std::string& base = catalog.m_strCatalogedPath;
  if (!IsRootedPath(base) || !FolderExists(base)) return false;
  // By what is recorded alone: the sample is for the decisions that change
  // or judge the catalog, not for asking where a medium is.
  CMediumIdentity now;
  if (!catalog.m_record || !ReadMediumIdentity(base, now)) return true;
  const EMediumCheck check = CompareMedia(RecordedMedium(catalog), now);
  return check == EMediumCheck::Same || check == EMediumCheck::Unknown;
}

CScanOptions RecordedScanOptions(const CDriveFileInfo& catalog, CScanOptions options) {
  if (catalog.m_record) {
    options.bFollowLinks = catalog.m_record->bFollowLinks;
    options.bCrossFileSystems = catalog.m_record->bCrossFileSystems;
    options.excludes = catalog.m_record->excludes;
    options.bHashContents = catalog.m_record->bHashContents;
    options.nArchiveDepth = catalog.m_record->nArchiveDepth;
  }
  return options;
}

namespace {

// now, a new item the scan could not read, takes what was held; its
// contents are walked after, so what it takes pairs up in turn.
void KeepUnreadablePair(const CFileInfo& was, const CFileInfo& now) {
  if (!now.IsUnreadable() || !SameKind(was, now)) return;
  // The new tree is ours to change; the walk hands its items out as const.
  auto& kept = const_cast<CFileInfo&>(now);
  kept.CopyFieldsFrom(was);
  if (was.IsContainer() && static_cast<const CFolderFileInfo&>(now).Children().empty())
    CopyChildren(static_cast<const CFolderFileInfo&>(was), static_cast<CFolderFileInfo&>(kept));
}

// Records in catalog how it was made of paths (real, absolute) with options.
void RecordHowMade(CDriveFileInfo& catalog, const std::vector<std::string>& paths, const CScanOptions& options) {
  CCatalogRecord record;
  std::string base = UnescapeBytes(catalog.m_strCatalogedPath);
  ReadMediumIdentity(base, record.medium);
  for (std::string path : paths) {
    path = MakeAbsolutePath(path);
    StripTrailingSeparator(path);
    if (path == base) {  // the whole place: nothing else was chosen
      record.chosenPaths.clear();
      break;
    }
    const std::size_t start = IsRootPath(base) ? base.size() : base.size() + 1;
    if (path.size() > start && path.compare(0, base.size(), base) == 0)
      record.chosenPaths.push_back(path.substr(start));
  }
  // The mounts a walk that crosses file systems enters: one unmounted later
  // leaves an empty folder that must not read as its contents removed.
  if (options.bCrossFileSystems)
    for (const std::string& point : MountPoints())
      if (IsInside(point, base))
        record.innerMounts.push_back(point.substr(IsRootPath(base) ? base.size() : base.size() + 1));
  record.bKindsRecorded = true;
  record.bFollowLinks = options.bFollowLinks;
  record.bCrossFileSystems = options.bCrossFileSystems;
  record.excludes = options.excludes;
  record.bHashContents = options.bHashContents;
  record.nArchiveDepth = options.nArchiveDepth;
  record.strCatalogId = NewCatalogId();
  catalog.m_record = std::move(record);
}

// Fresh is still old's catalog: its own identity stays, so that a copy of
// the set made before counts as this medium, not as a second one. And a
// user reads less of a medium than root does (an fsid for the UUID, no
// label): what old recorded of the same medium stays, and an identity that
// could not be read now is not forgotten.
void KeepRecordedIdentities(const CDriveFileInfo& old, CDriveFileInfo& fresh) {
  if (!old.m_record || !fresh.m_record) return;
  if (!old.m_record->strCatalogId.empty()) fresh.m_record->strCatalogId = old.m_record->strCatalogId;
  const CMediumIdentity& was = old.m_record->medium;
  CMediumIdentity& now = fresh.m_record->medium;
  const bool same = CompareMediumIds(was, now) == EIdCompare::Equal;
  if (same || now.strId.empty()) {
    now.strId = was.strId;
    now.strIdSource = was.strIdSource;
  }
  if ((same || now.strId == was.strId) && now.strVolumeLabel.empty()) now.strVolumeLabel = was.strVolumeLabel;
}

// The logical path below a catalog of a real path relative to its base.
std::string LogicalPathOf(const std::string& relative) {
  std::string logical;
  for (std::size_t start = 0; start <= relative.size();) {
    const std::size_t end = std::min(relative.find(kPathSeparator, start), relative.size());
    if (!logical.empty()) logical += '\\';
    logical += ItemNameOf(std::string_view(relative).substr(start, end - start));
    start = end + 1;
  }
  return logical;
}

// An inner medium old's record says the scan entered, and that is not
// mounted now, left an empty folder: it is marked unreadable, so that it
// keeps what old held there, and stays in fresh's record for the next time.
void KeepUnmountedInnerMedia(const CDriveFileInfo& old, CDriveFileInfo& fresh) {
  if (!old.m_record || old.m_record->innerMounts.empty() || !fresh.m_record) return;
  const std::vector<std::string> mounted = MountPoints();
  const std::string base = UnescapeBytes(fresh.m_strCatalogedPath);
  for (const std::string& relative : old.m_record->innerMounts) {
    if (std::find(mounted.begin(), mounted.end(), JoinRealPath(base, relative)) != mounted.end()) continue;
    const std::string logical = LogicalPathOf(relative);
    const CFileInfo* was = FindByPath(static_cast<const CFileInfo*>(&old), logical);
    CFileInfo* now = FindByPath(static_cast<CFileInfo*>(&fresh), logical);
    if (was == nullptr || now == nullptr || !was->IsContainer() || !now->IsContainer()) continue;
    if (!static_cast<CFolderFileInfo*>(now)->Children().empty()) continue;
    now->SetUnreadable(true);
    auto& mounts = fresh.m_record->innerMounts;
    if (std::find(mounts.begin(), mounts.end(), relative) == mounts.end()) mounts.push_back(relative);
  }
}

// Gives the files of fresh that old holds unchanged (same size and
// modification time) old's fingerprints, so that only new and changed
// files are read again.
void CarryFingerprints(const CDriveFileInfo& old, CDriveFileInfo& fresh) {
  const auto after = FingerprintsOfUnchanged(old, fresh, true);
  std::vector<std::pair<std::uint32_t, CFingerprint>> carried;
  carried.reserve(after.Size());
  ForItemsWithOffsets(fresh, [&](const CFileInfo& item, std::uint32_t offset) {
    if (const CFingerprint* fingerprint = after.Find(&item)) carried.emplace_back(offset, *fingerprint);
  });
  fresh.m_fingerprints.Add(std::move(carried));
}

}  // namespace

CItemMap<CFingerprint> FingerprintsOfUnchanged(const CDriveFileInfo& old, const CDriveFileInfo& fresh,
                                               bool keepUnreadable) {
  // The table is in offset order, as the walk is: one pass takes both.
  CItemMap<CFingerprint> before(old.m_fingerprints.Size());
  std::vector<std::pair<std::uint32_t, CFingerprint>> table;
  table.reserve(old.m_fingerprints.Size());
  old.m_fingerprints.ForEach(
      [&](std::uint32_t offset, const CFingerprint& fingerprint) { table.emplace_back(offset, fingerprint); });
  auto next = table.begin();
  ForItemsWithOffsets(old, [&](const CFileInfo& item, std::uint32_t offset) {
    if (next == table.end() || next->first != offset) return;
    if (!item.IsContainer()) before.Insert(&item, next->second);
    ++next;
  });
  CItemMap<CFingerprint> after(before.Size());
  WalkInStep(
      old, fresh, std::string(), [](const CFileInfo&, const std::string&) {},
      [](const CFileInfo&, const std::string&) {},
      [&](const CFileInfo& was, const CFileInfo& now, const std::string&) {
        if (keepUnreadable) KeepUnreadablePair(was, now);
        if (was.IsContainer() || !SameKind(was, now) || was.RecordSize() != now.RecordSize() ||
            was.WriteFileTime() != now.WriteFileTime())
          return;
        if (const CFingerprint* fingerprint = before.Find(&was)) after.Insert(&now, *fingerprint);
      });
  return after;
}

namespace {

// Lists the archives of out that have no members yet when options ask for
// it; Cancelled drops out. unopened gets the archives that would not open.
EScanStatus ListWhenAsked(const CScanOptions& options, std::unique_ptr<CDriveFileInfo>& out,
                          std::vector<std::string>* unopened) {
  if (options.nArchiveDepth <= 0) return EScanStatus::Done;
  CArchiveOutcome outcome;
  ListCatalogArchives(*out, options, outcome);
  if (outcome.bCancelled) {
    out.reset();
    return EScanStatus::Cancelled;
  }
  if (unopened != nullptr) *unopened = std::move(outcome.unopened);
  return EScanStatus::Done;
}

// Archives of fresh that old listed keep old's members when unchanged in
// size and modification time, or when they would not open now: only the
// others are opened again. Changed ones are listed anew; their notes follow
// by path when the update is applied.
EScanStatus ListKeepingMembers(const CDriveFileInfo& old, const CScanOptions& options,
                               std::unique_ptr<CDriveFileInfo>& fresh, std::vector<std::string>* unopened) {
  std::vector<std::pair<const CFileInfo*, CFileInfo*>> changed;
  WalkInStep(
      old, *fresh, std::string(), [](const CFileInfo&, const std::string&) {},
      [](const CFileInfo&, const std::string&) {},
      [&](const CFileInfo& was, const CFileInfo& now, const std::string&) {
        if (was.Members() == nullptr || !SameKind(was, now)) return;
        auto& kept = const_cast<CFileInfo&>(now);
        if (was.RecordSize() == now.RecordSize() && was.WriteFileTime() == now.WriteFileTime())
          CopyMembers(was, *fresh, kept);
        else
          changed.emplace_back(&was, &kept);
      });
  std::vector<std::string> notOpened;
  const EScanStatus status = ListWhenAsked(options, fresh, &notOpened);
  if (status != EScanStatus::Done) return status;
  for (const auto& [was, now] : changed)
    if (now->Members() == nullptr) CopyMembers(*was, *fresh, *now);
  if (unopened != nullptr) *unopened = std::move(notOpened);
  return EScanStatus::Done;
}

// Takes the fingerprints out lacks when options ask for them; Cancelled
// drops out.
EScanStatus HashWhenAsked(const CScanOptions& options, std::unique_ptr<CDriveFileInfo>& out,
                          std::vector<std::string>* unreadable) {
  if (!options.bHashContents) return EScanStatus::Done;
  CHashOutcome outcome;
  HashMissingFingerprints(*out, options, outcome);
  if (outcome.bCancelled) {
    out.reset();
    return EScanStatus::Cancelled;
  }
  if (unreadable != nullptr) *unreadable = std::move(outcome.unreadable);
  return EScanStatus::Done;
}

}  // namespace

EScanStatus MakeCatalog(const std::string& label, const std::vector<std::string>& paths, const CScanOptions& options,
                        std::unique_ptr<CDriveFileInfo>& out, std::string& message, std::vector<std::string>* unhashed,
                        std::vector<std::string>* unlisted) {
  const EScanStatus status = ScanCatalog(label, paths, options, out, message);
  if (status != EScanStatus::Done) return status;
  RecordHowMade(*out, paths, options);
  const EScanStatus listed = ListWhenAsked(options, out, unlisted);
  return listed != EScanStatus::Done ? listed : HashWhenAsked(options, out, unhashed);
}

std::vector<std::string> CatalogScanPaths(const CDriveFileInfo& catalog, const std::string& place) {
  std::vector<std::string> paths;
  if (catalog.m_record) {
    for (const std::string& chosen : catalog.m_record->chosenPaths) paths.push_back(JoinRealPath(place, chosen));
    if (paths.empty()) paths.push_back(place);
    return paths;
  }
  if (catalog.Children().empty() || catalog.m_timeCataloged <= 0) return {place};
  CollectScanPaths(catalog, place, UnixToFileTime(catalog.m_timeCataloged, 0), paths);
  return paths;
}

EScanStatus ScanForUpdate(const CDriveFileInfo& catalog, const std::string& place, const CScanOptions& options,
                          std::unique_ptr<CDriveFileInfo>& out, std::string& message,
                          const std::vector<std::string>* chosenPaths, std::vector<std::string>* unhashed,
                          std::vector<std::string>* unlisted) {
  out.reset();
  message.clear();
  std::string base = MakeAbsolutePath(place);
  StripTrailingSeparator(base);
  if (base.empty() || !FolderExists(base)) return EScanStatus::NotFound;
  std::vector<std::string> paths;
  if (chosenPaths != nullptr) {
    for (const std::string& chosen : *chosenPaths) {
      const std::string path = MakeAbsolutePath(IsRootedPath(chosen) ? chosen : JoinRealPath(base, chosen));
      // Only places on the medium: "..", or another folder, would make a
      // catalog of something else.
      if (path != base && !IsInside(path, base)) {
        message = chosen;
        return EScanStatus::NotFound;
      }
      paths.push_back(path);
    }
    if (paths.empty()) paths.push_back(base);
  } else {
    paths = CatalogScanPaths(catalog, base);
  }
  const std::string label(catalog.GetName());
  EScanStatus status;
  if (paths.size() == 1 && paths[0] == base)
    status = ScanCatalog(label, paths, options, out, message);
  else
    status = ScanCatalogBelow(label, base, paths, options, out, message);
  if (status != EScanStatus::Done) return status;
  RecordHowMade(*out, paths, options);
  KeepRecordedIdentities(catalog, *out);
  KeepUnmountedInnerMedia(catalog, *out);
  // A base path that could not be read keeps the whole catalog: its items
  // then pair with themselves below.
  if (out->IsUnreadable() && out->Children().empty()) CopyChildren(catalog, *out);
  // One walk of both trees does both when there are fingerprints to keep.
  if (catalog.m_fingerprints.Empty())
    KeepUnreadable(catalog, *out);
  else
    CarryFingerprints(catalog, *out);
  const EScanStatus listed = ListKeepingMembers(catalog, options, out, unlisted);
  return listed != EScanStatus::Done ? listed : HashWhenAsked(options, out, unhashed);
}

void KeepUnreadable(const CDriveFileInfo& old, CDriveFileInfo& fresh) {
  WalkInStep(
      old, fresh, std::string(), [](const CFileInfo&, const std::string&) {},
      [](const CFileInfo&, const std::string&) {},
      [](const CFileInfo& was, const CFileInfo& now, const std::string&) { KeepUnreadablePair(was, now); });
}

bool UpdateLooksDestructive(const CDriveFileInfo& old, const CUpdateSummary& summary) {
  return !summary.lostNotes.empty() || summary.nRemoved * 2 > CountItemsBelow(old);
}
