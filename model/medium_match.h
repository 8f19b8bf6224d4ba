#pragma once
// Which catalog a medium is: by its file system's UUID (the volume serial
// on Windows) where both sides know one, else by its label and total size,
// for media without an identity and for catalogs that record none.

#include <cstdint>
#include <string>
#include <vector>

#include "model/catalog_record.h"

class CDriveFileInfo;
class CRootFileInfo;

enum class EMediumMatch { None, ById, ByLabelAndSize };

// How medium, read where it is now, matches catalog. Without a record the
// catalog's label stands for the volume label it was most likely given.
EMediumMatch MatchMedium(const CDriveFileInfo& catalog, const CMediumIdentity& medium);

// Whether the medium looks changed since catalog was made of it: its free
// space or its total size differ from the catalog's.
bool MediumLooksChanged(const CDriveFileInfo& catalog, const CMediumIdentity& medium, std::uint64_t freeBytes);

struct CMediumMatch {
  const CDriveFileInfo* pCatalog = nullptr;
  EMediumMatch eHow = EMediumMatch::None;
  bool bChanged = false;
};

// The catalogs of set that medium matches, in the set's order.
std::vector<CMediumMatch> FindCatalogsOfMedium(const CRootFileInfo& set, const CMediumIdentity& medium,
                                               std::uint64_t freeBytes);

// A medium that has just appeared, and the first catalog of set it is.
struct CNewMedium {
  std::string strMountPoint;
  const CDriveFileInfo* pCatalog = nullptr;
};

// The mount points of now that before lacks and whose medium is a catalog
// of set, each read where it is mounted.
std::vector<CNewMedium> CatalogsOfNewMounts(const CRootFileInfo& set, const std::vector<std::string>& before,
                                            const std::vector<std::string>& now);

// The medium a catalog was made of, for a message that asks for it: its
// label, its type and its size, "DATA (CD-ROM, iso9660, 650MB)". Without a
// record, the catalog's label, media type and total size.
std::string DescribeCatalogMedium(const CDriveFileInfo& catalog);
