#pragma once
// Listing the archives of a catalog after its walk, and keeping listings
// across an update: an archive unchanged in size and modification time
// keeps the members it had (and their notes) without being opened again.

#include <string>
#include <vector>

#include "model/archive_listing.h"
#include "model/catalog_files.h"
#include "model/content_hashing.h"
#include "model/drive_file_info.h"
#include "model/scan_progress.h"

struct CArchiveOutcome {
  std::uint64_t nListed = 0;
  // Logical paths of the archives that could not be opened, in walk order.
  std::vector<std::string> unopened;
  bool bCancelled = false;
};

// Lists, to options.nArchiveDepth, the members of every archive among
// catalog's files (IsArchiveName) that has none yet. Cancelled, the
// catalog is to be thrown away.
void ListCatalogArchives(CDriveFileInfo& catalog, const CScanOptions& options, CArchiveOutcome& outcome,
                         const CArchiveLimits& limits = CArchiveLimits(), const CContentReaderFactory& makeReader = {});

// Copies the children of from below to, with their flags, notes and the
// members of listed archives.
void CopyChildren(const CFolderFileInfo& from, CFolderFileInfo& to);

// Gives to, an item of folder's tree, a copy of the members from holds
// (notes and nested listings too).
void CopyMembers(const CFileInfo& from, CFolderFileInfo& folder, CFileInfo& to);
