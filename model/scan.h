#pragma once
// Making catalogs from real folders: the walk, the path rules, and the facts
// gathered about the medium. Real paths are the system's: POSIX paths whose
// root is "/", or on Windows paths whose drive roots are "C:\\" and so on.
// CRootFileInfo::AddCatalog, AddCatalogFromPaths and the gathering
// CDriveFileInfo constructor are defined with these.

#include <string>
#include <vector>

#include "model/drive_file_info.h"
#include "model/file_info.h"
#include "platform/dir_reader.h"

inline constexpr const char kDriveAloneMessage[] = "ドライブは単独でしかカタログ化できません";
inline constexpr const char kNotAllCatalogedMessage[] = "カタログ化できなかったファイルがあります";
inline constexpr const char kUnknownMachineName[] = "不明なマシン名";

// Ancestor folders a walk keeps open; folders above them are reopened by
// name from the nearest open one when the walk comes back to them.
constexpr int kScanOpenFolderBudget = 64;

// Adds the entries of the folder at path under item, each folder's entries
// in read order and subfolders in full before the next sibling. A folder
// that cannot be opened, or that is already on the way down from path (a
// link loop), stays without children.
void ScanFolder(const std::string& path, CFolderFileInfo& item);
void ScanFolder(const std::string& path, CFolderFileInfo& item, CFolderLister& lister,
                int openFolderBudget = kScanOpenFolderBudget);

// Appends the records of the folder's entries to list; 0 when the folder
// cannot be opened, else 1.
int ListFolder(const std::string& path, std::vector<CFindData>& list);

// The longest run of whole leading components that all paths share ("/" when
// they share only the root); for a single path, its parent.
std::string CommonParentPath(const std::vector<std::string>& paths);

// Removes one trailing "/"; the root "/" stays as it is.
void StripTrailingBackslash(std::string& path);

// path made absolute against the working folder, with "." and empty
// components dropped and ".." taken lexically; the empty path stays empty.
std::string MakeAbsolutePath(const std::string& path);

// The machine name, media type and disk space for a catalog of basePath.
CMediumFacts GatherMediumFacts(const std::string& basePath);
