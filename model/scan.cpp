#include "model/scan.h"

#include <algorithm>
#include <ctime>
#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>

#include "model/root_file_info.h"
#include "model/scan_excludes.h"
#include "model/scan_paths.h"
#include "model/text_format.h"
#include "platform/cp932_codec.h"
#include "platform/media_type.h"
#include "platform/path_separator.h"
#include "platform/real_name.h"
#include "platform/volume_info.h"

CMediumFacts GatherMediumFacts(const std::string& basePath) {
  CMediumFacts facts;
  facts.strMachineName = SanitizeUtf8(ReadMachineName());
  if (facts.strMachineName.empty()) facts.strMachineName = kUnknownMachineName;
  // The mount table lists real paths; a base path through a link is judged
  // by where it leads.
  facts.strMediaType = MediaTypeOf(ResolvedPath(basePath));
  ReadDiskSpace(basePath, facts.nFreeBytes, facts.nTotalBytes);
  return facts;
}

std::string SuggestedCatalogLabel(const std::vector<std::string>& paths, const CMediaRoots& roots) {
  std::vector<std::string> absolute;
  for (const std::string& path : paths) absolute.push_back(MakeAbsolutePath(path));
  if (absolute.empty()) return {};
  const std::string place =
      ResolvedPath(absolute.size() == 1 && FolderExists(absolute[0]) ? absolute[0] : CommonParentPath(absolute));
  const std::string label = VolumeLabelOf(place, roots);
  if (!label.empty()) return SanitizeUtf8(label);
  return SanitizeUtf8(LastNameOf(place));
}

CDriveFileInfo::CDriveFileInfo(std::string label, std::string basePath)
    : CDriveFileInfo(label, basePath, GatherMediumFacts(basePath)) {}

namespace {

// rawName: the entry's name on disk.
CFileInfo* AddRecord(CFolderFileInfo& parent, CFindData& record, std::string_view rawName,
                     const CScanOptions& options) {
  if (options.pProgress != nullptr)
    options.pProgress->AddEntry((record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0, record.Size());
  CFileInfo* child = parent.AddChild(&record);
  child->SetRealNameCp932(IsCp932ItemName(rawName, record.cFileName));
  return child;
}

// The same for a chosen path's entry, with its kind and whether it could be read.
CFileInfo* AddEntry(CFolderFileInfo& parent, CDirEntry& entry, std::string_view rawName, const CScanOptions& options) {
  CFileInfo* child = AddRecord(parent, entry.record, rawName, options);
  child->SetEntryKind(EntryKindOf(entry));
  child->SetUnreadable(entry.bUnreadable);
  return child;
}

// The path of path below base as the walk matches exclude patterns against
// it (item names, "/" between); none when path, or a folder on the way to
// it, is excluded.
std::optional<std::string> PlacePathBelow(const std::string& base, const std::string& path,
                                          const CExcludeRules& excludes) {
  std::string placePath;
  std::size_t pos = IsRootPath(base) ? base.size() : base.size() + 1;
  while (pos < path.size()) {
    const std::size_t end = std::min(path.find(kPathSeparator, pos), path.size());
    const std::string name = ItemNameOf(std::string_view(path).substr(pos, end - pos));
    if (!placePath.empty()) placePath += '/';
    placePath += name;
    if (excludes.Excludes(name, placePath)) return std::nullopt;
    pos = end + 1;
  }
  return placePath;
}

// A picked folder, the root, or a single file (the catalog then stands for
// its folder).
EScanStatus ScanOnePath(const std::string& label, const std::string& path, const CScanOptions& options,
                        std::unique_ptr<CDriveFileInfo>& out) {
  const std::string copy = MakeAbsolutePath(path);
  if (copy.empty()) return EScanStatus::NotFound;
  if (FolderExists(copy)) {
    out = std::make_unique<CDriveFileInfo>(label, copy);
    ScanFolder(copy, *out, options);
    return EScanStatus::Done;
  }
  CDirEntry entry;
  if (!ReadPathEntry(copy, entry)) return EScanStatus::NotFound;
  out = std::make_unique<CDriveFileInfo>(label, ParentOf(copy));
  AddEntry(*out, entry, LastNameOf(copy), options);
  return EScanStatus::Done;
}

// Dropped paths, each under their common parent (or under base, when given).
// Paths in different folders keep the folders between that parent and them,
// so that every item's real place is the catalog's base path joined with its
// logical path.
EScanStatus ScanDroppedPaths(const std::string& label, const std::vector<std::string>& paths,
                             const CScanOptions& options, std::unique_ptr<CDriveFileInfo>& out, std::string& message,
                             const std::string* givenBase = nullptr) {
  std::vector<std::string> chosen;
  std::vector<CDirEntry> records;
  for (const std::string& path : paths) {
    std::string absolute = MakeAbsolutePath(path);
    StripTrailingSeparator(absolute);
    // The root has no name to stand as a child of the catalog.
    if (IsRootPath(absolute)) {
      message = kDriveAloneMessage;
      break;
    }
    CDirEntry record;
    const EPathLookup lookup = absolute.empty() ? EPathLookup::Missing : LookUpPathEntry(absolute, record);
    if (lookup == EPathLookup::Missing) {
      message = kNotAllCatalogedMessage;
      continue;
    }
    // Behind a folder that may not be searched: there, but not read. It
    // stands as an unreadable folder, so that nothing is taken as gone.
    if (lookup == EPathLookup::Unreadable) {
      record = CDirEntry();
      record.record.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
      record.record.cFileName = ItemNameOf(LastNameOf(absolute));
      record.bUnreadable = true;
    }
    chosen.push_back(std::move(absolute));
    records.push_back(std::move(record));
  }
  if (chosen.empty()) return message == kDriveAloneMessage ? EScanStatus::DriveAlone : EScanStatus::NotFound;

  const std::string base = givenBase != nullptr ? *givenBase : CommonParentPath(chosen);
  out = std::make_unique<CDriveFileInfo>(label, base);
  // Asked once for all the paths: it reads the mount table.
  CScanOptions walkOptions = options;
  if (walkOptions.nThreads <= 0) walkOptions.nThreads = DefaultScanThreads(base);
  const CExcludeRules excludes(options.excludes);
  std::map<std::string, CFolderFileInfo*> between;  // real path → its folder item
  for (std::size_t i = 0; i < chosen.size() && !options.Cancelled(); ++i) {
    const std::string& path = chosen[i];
    // A path inside another chosen one (or the same again) is already there.
    const bool covered =
        std::any_of(chosen.begin(), chosen.begin() + i,
                    [&](const std::string& other) { return other == path || IsInside(path, other); }) ||
        std::any_of(chosen.begin() + i + 1, chosen.end(),
                    [&](const std::string& other) { return IsInside(path, other); });
    if (covered) continue;
    const std::optional<std::string> placePath = PlacePathBelow(base, path, excludes);
    if (!placePath) continue;
    CFolderFileInfo* parent = out.get();
    std::size_t pos = IsRootPath(base) ? base.size() : base.size() + 1;
    for (std::size_t slash; (slash = path.find(kPathSeparator, pos)) != std::string::npos; pos = slash + 1) {
      const std::string folder = path.substr(0, slash);
      CFolderFileInfo*& item = between[folder];
      if (item == nullptr) {
        CFindData record;
        if (!ReadPathRecord(folder, record)) {
          record = CFindData();
          record.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
          record.cFileName = ItemNameOf(path.substr(pos, slash - pos));
        }
        item = static_cast<CFolderFileInfo*>(AddRecord(*parent, record, path.substr(pos, slash - pos), options));
      }
      parent = item;
    }
    CFileInfo* child = AddEntry(*parent, records[i], path.substr(pos), options);
    if (child->IsContainer() && !child->IsUnreadable()) {
      CFolderLister lister;
      ScanFolder(path, static_cast<CFolderFileInfo&>(*child), lister, kScanOpenFolderBudget, walkOptions, *placePath);
    }
  }
  return EScanStatus::Done;
}

}  // namespace

EScanStatus ScanCatalog(const std::string& label, const std::vector<std::string>& paths, const CScanOptions& options,
                        std::unique_ptr<CDriveFileInfo>& out, std::string& message) {
  out.reset();
  message.clear();
  EScanStatus status = EScanStatus::NotFound;
  if (paths.size() == 1)
    status = ScanOnePath(label, paths[0], options, out);
  else if (!paths.empty())
    status = ScanDroppedPaths(label, paths, options, out, message);
  if (status == EScanStatus::Done && options.Cancelled()) status = EScanStatus::Cancelled;
  if (status != EScanStatus::Done) out.reset();
  return status;
}

EScanStatus ScanCatalogBelow(const std::string& label, const std::string& base, const std::vector<std::string>& paths,
                             const CScanOptions& options, std::unique_ptr<CDriveFileInfo>& out, std::string& message) {
  out.reset();
  message.clear();
  EScanStatus status = ScanDroppedPaths(label, paths, options, out, message, &base);
  if (status == EScanStatus::Done && options.Cancelled()) status = EScanStatus::Cancelled;
  if (status != EScanStatus::Done) out.reset();
  return status;
}

CUnreadableSummary CollectUnreadable(const CFolderFileInfo& top, const std::string& topPath, std::size_t maxPaths) {
  CUnreadableSummary summary;
  const auto note = [&](const std::string& path) {
    if (summary.nCount++ < maxPaths) summary.firstPaths.push_back(path);
  };
  if (top.IsUnreadable()) note(topPath);
  WalkBelow(top, topPath, [&](const CFileInfo& item, const CWalkPath& parent) {
    if (item.IsUnreadable()) note(parent.PathOf(item));
  });
  return summary;
}

CDriveFileInfo* CRootFileInfo::AddCatalog(const std::string& label, const std::string& path) {
  if (FindByPath(static_cast<const CFileInfo*>(this), label) != nullptr) return nullptr;
  std::unique_ptr<CDriveFileInfo> catalog;
  std::string message;
  if (ScanCatalog(label, {path}, CScanOptions(), catalog, message) != EScanStatus::Done) return nullptr;
  return AppendCatalog(std::move(catalog), std::time(nullptr));
}

CDriveFileInfo* CRootFileInfo::AddCatalogFromPaths(const std::string& label, const std::vector<std::string>& paths,
                                                   CMessageSink& messages) {
  if (FindByPath(static_cast<const CFileInfo*>(this), label) != nullptr) return nullptr;
  std::unique_ptr<CDriveFileInfo> catalog;
  std::string message;
  const EScanStatus status = ScanCatalog(label, paths, CScanOptions(), catalog, message);
  if (status == EScanStatus::NotFound) message = kPlaceNotFoundMessage;
  CDriveFileInfo* added = catalog ? AppendCatalog(std::move(catalog), std::time(nullptr)) : nullptr;
  if (!message.empty()) messages.ShowMessage(message);
  return added;
}

std::string ScanProgressLine(const CScanCounts& counts, std::uint64_t seconds) {
  return "フォルダ " + FormatCount(counts.nFolders) + " / ファイル " + FormatCount(counts.nFiles) + " / " +
         FormatSize(counts.nBytes, false) + " / " + FormatElapsed(seconds);
}
