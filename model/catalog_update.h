#pragma once
// Bringing a catalog up to date from a new scan of its medium, keeping the
// notes: where to scan, what differs, and the replacement. Items of the old
// and the new tree are matched by logical path, names compared exactly.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/drive_file_info.h"
#include "model/item_map.h"
#include "model/scan.h"
#include "model/time_format.h"

class CRootFileInfo;

enum class EItemChange : char {
  Added = '+',
  Removed = '-',
  Changed = '~',   // size, modification time, or kind (file, folder, link, other)
  NoteLost = '!',  // removed, and its note goes with it
};

struct CUpdateSummary {
  std::uint64_t nAdded = 0;
  std::uint64_t nRemoved = 0;  // NoteLost ones included
  std::uint64_t nChanged = 0;
  std::uint64_t nNotesKept = 0;  // notes of items below the catalog that stay
  // Logical paths of items with notes that are removed, or whose entry is
  // now of another kind (a file become a folder or a link), which a note
  // does not follow.
  std::vector<std::string> lostNotes;
  bool bBasePathChanged = false;
  // Places the new scan could not read, which keep what the catalog held.
  CUnreadableSummary unreadable;

  bool HasChanges() const { return nAdded + nRemoved + nChanged != 0 || bBasePathChanged; }
};

using CChangeVisitor = std::function<void(EItemChange change, const std::string& path)>;

// Compares old with fresh, a new scan of the same catalog, telling visit
// (when given) each difference with the item's logical path: folder by
// folder, names in byte order, an added or removed folder followed by its
// contents. Costs memory for the widest folders on one path, not per item.
CUpdateSummary CompareCatalogs(const CDriveFileInfo& old, const CDriveFileInfo& fresh,
                               const CChangeVisitor& visit = {});

// Whether item is one of set's own catalogs. A catalog nested in a folder
// or in another catalog (sets of other writers) is part of that one's tree:
// the set file keeps no record of its own for it, and the records of the
// one it is in (fingerprints, members) name its items by their places, so
// it is never updated on its own.
bool IsCatalogOfSet(const CRootFileInfo& set, const CFileInfo& item);

// Makes fresh take old's place in set: the notes of old's items go to the
// items of fresh with the same logical path and kind, fresh keeps old's label and
// note, and catalog and set are stamped with now. Returns the catalog now in
// the set; null (nothing changed) when old is not one of set's catalogs
// (IsCatalogOfSet).
CDriveFileInfo* ApplyCatalogUpdate(CRootFileInfo& set, const CDriveFileInfo& old, std::unique_ptr<CDriveFileInfo> fresh,
                                   CTime now);

// Whether the catalog's base path can be scanned again as it is: it is
// there, and the identities say it holds the catalog's medium, or cannot
// say (JudgeMedium then decides before anything is changed).
bool CatalogPlacePresent(const CDriveFileInfo& catalog);

// options with what the catalog records of how far its scan went (links,
// other file systems, excludes, fingerprints); as they are without a record.
CScanOptions RecordedScanOptions(const CDriveFileInfo& catalog, CScanOptions options = CScanOptions());

// Scans paths into a new catalog as ScanCatalog does, and records in it how
// (the medium, the paths chosen, the options). With options.bHashContents
// it then takes every file's fingerprint; unhashed (when given) gets the
// logical paths of files that could not be read whole. With
// options.nArchiveDepth it lists archives' members first; unlisted gets the
// archives that would not open.
EScanStatus MakeCatalog(const std::string& label, const std::vector<std::string>& paths, const CScanOptions& options,
                        std::unique_ptr<CDriveFileInfo>& out, std::string& message,
                        std::vector<std::string>* unhashed = nullptr, std::vector<std::string>* unlisted = nullptr);

// The real paths to scan for catalog when its base path's contents are now
// at place: those its record names, else place alone when the catalog was
// made of the whole folder, else the paths it was made from (dropped ones),
// found again below place.
std::vector<std::string> CatalogScanPaths(const CDriveFileInfo& catalog, const std::string& place);

// Scans the catalog's medium, now at place, into out (labelled as catalog,
// base path place) the way the catalog was first made, or of the paths
// chosen (relative to place, or absolute below it) when given, with
// options, and records how; a chosen path outside place gives NotFound,
// with message naming it. Places it could not read keep what catalog
// held (KeepUnreadable). With options.bHashContents, files unchanged in
// size and modification time keep catalog's fingerprints and only the
// others are read (unhashed as for MakeCatalog). Only Done gives a catalog;
// message as ScanCatalog's. Touches nothing but out.
EScanStatus ScanForUpdate(const CDriveFileInfo& catalog, const std::string& place, const CScanOptions& options,
                          std::unique_ptr<CDriveFileInfo>& out, std::string& message,
                          const std::vector<std::string>* chosenPaths = nullptr,
                          std::vector<std::string>* unhashed = nullptr, std::vector<std::string>* unlisted = nullptr);

// The files of fresh that old holds with the same size and modification
// time, each with the fingerprint old has for it (those with one); with
// keepUnreadable, KeepUnreadable's work done in the same walk.
CItemMap<CFingerprint> FingerprintsOfUnchanged(const CDriveFileInfo& old, const CDriveFileInfo& fresh,
                                               bool keepUnreadable = false);

// Places fresh could not read take what old held there (fields and
// contents), so that nothing is taken as removed for not being readable;
// CompareCatalogs still counts them.
void KeepUnreadable(const CDriveFileInfo& old, CDriveFileInfo& fresh);

// Whether an update of a catalog whose medium is not known for certain
// looks like a mistake (the wrong place, an empty mount point): it would
// remove more than half the catalog's items, or lose a note.
bool UpdateLooksDestructive(const CDriveFileInfo& old, const CUpdateSummary& summary);
