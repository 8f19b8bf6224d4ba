#pragma once
// Making catalogs from real folders: the walk, the path rules, and the facts
// gathered about the medium. Real paths are the system's: POSIX paths whose
// root is "/", or on Windows paths whose drive roots are "C:\\" and so on.
// CRootFileInfo::AddCatalog, AddCatalogFromPaths and the gathering
// CDriveFileInfo constructor are defined with these.

#include <cstdint>
#include <string>
#include <vector>

#include "model/drive_file_info.h"
#include "model/file_info.h"
#include "model/scan_progress.h"
#include "platform/dir_reader.h"
#include "platform/media_type.h"

inline constexpr const char kDriveAloneMessage[] = "ドライブは単独でしかカタログ化できません";
inline constexpr const char kNotAllCatalogedMessage[] = "カタログ化できなかったファイルがあります";
inline constexpr const char kUnknownMachineName[] = "不明なマシン名";
inline constexpr const char kPlaceNotFoundMessage[] = "指定された場所が見つかりません";

// Folders a walk keeps open, ancestors and reads ahead; the others are
// reopened by name from the nearest open one when the walk comes back to
// them.
constexpr int kScanOpenFolderBudget = 128;

// Folders a scan reads at once by default: as many as the cores, and on a
// network drive at least kNetworkScanThreads, where waiting on the server
// dominates.
constexpr int kNetworkScanThreads = 8;
int DefaultScanThreads(const std::string& path, const CMediaRoots& roots = CMediaRoots());

// Adds the entries of the folder at path under item, each folder's entries
// in read order and subfolders in full before the next sibling. A folder
// the options keep the walk out of (a link, a mount point, a virtual file
// system) and, when links or mounts are followed, a folder walked already
// stay without children. A folder that cannot be opened or read, or that is
// no longer the one listed (replaced by a link meanwhile), and an entry
// whose facts could not be taken are marked unreadable; such folders keep
// no children. Entries matching options.excludes are left out; placePath is
// item's path below the place scanned ("/" between names, empty for the
// place itself). Cancelled, the walk stops part way: the caller throws item
// away. Folders are read on options.nThreads threads (through lister, which
// must allow that), the items made on the calling one. The descriptors kept
// open, ancestors and reads ahead alike, stay within the budget (lowered to
// suit the process's limit, and when the system runs out).
void ScanFolder(const std::string& path, CFolderFileInfo& item, const CScanOptions& options = CScanOptions());
void ScanFolder(const std::string& path, CFolderFileInfo& item, CFolderLister& lister,
                int openFolderBudget = kScanOpenFolderBudget, const CScanOptions& options = CScanOptions(),
                const std::string& placePath = std::string());

// The kind of entry a scanned one is.
inline CFileInfo::EEntryKind EntryKindOf(const CDirEntry& entry) {
  return entry.bLink      ? CFileInfo::EEntryKind::Link
         : entry.bSpecial ? CFileInfo::EEntryKind::Special
                          : CFileInfo::EEntryKind::Regular;
}

enum class EScanStatus {
  Done,
  NotFound,    // no path given exists
  DriveAlone,  // the root came first among dropped paths
  Cancelled,
};

// Makes a new catalog labelled label, not yet part of any set, from one path
// (a picked folder, the root or a single file) or several (dropped ones:
// each below their common parent, with the folders in between). message
// gets what the user should be told about dropped paths that could not be
// catalogued. Only Done gives a catalog. Touches nothing but out, so it may
// run on any thread.
EScanStatus ScanCatalog(const std::string& label, const std::vector<std::string>& paths, const CScanOptions& options,
                        std::unique_ptr<CDriveFileInfo>& out, std::string& message);

// As ScanCatalog for several paths, each below base, which stays the
// catalog's base path whatever folder the paths share.
EScanStatus ScanCatalogBelow(const std::string& label, const std::string& base, const std::vector<std::string>& paths,
                             const CScanOptions& options, std::unique_ptr<CDriveFileInfo>& out, std::string& message);

// The items below top (top included) marked unreadable, and the logical
// paths of the first maxPaths of them in walk order, top's path being
// topPath.
struct CUnreadableSummary {
  std::uint64_t nCount = 0;
  std::vector<std::string> firstPaths;
};
CUnreadableSummary CollectUnreadable(const CFolderFileInfo& top, const std::string& topPath, std::size_t maxPaths = 5);

// Whether path is a folder (the root always is).
bool FolderExists(const std::string& path);

// Appends the records of the folder's entries to list (what could be read of
// them); NotOpened, appending nothing, when the folder cannot be opened.
enum class EFolderListing { Listed, NotOpened };
EFolderListing ListFolder(const std::string& path, std::vector<CFindData>& list);

// The longest run of whole leading components that all paths share ("/" when
// they share only the root); for a single path, its parent.
std::string CommonParentPath(const std::vector<std::string>& paths);

// Removes one trailing separator (kPathSeparator: "/", on Windows "\"); a
// root ("/", "C:\") stays as it is.
void StripTrailingSeparator(std::string& path);

// path made absolute against the working folder, with "." and empty
// components dropped and ".." taken lexically; the empty path stays empty.
std::string MakeAbsolutePath(const std::string& path);

// The label a new catalog of paths is offered: the volume label when the
// place catalogued (a picked folder, else the folder the paths are in) is
// the root of a mounted file system that has one, else that folder's name.
std::string SuggestedCatalogLabel(const std::vector<std::string>& paths, const CMediaRoots& roots = CMediaRoots());

// The machine name, media type and disk space for a catalog of basePath.
CMediumFacts GatherMediumFacts(const std::string& basePath);
