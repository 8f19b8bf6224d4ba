#pragma once
// Whether a place holds the medium a catalog was made of: the one rule that
// update, verify, identify, copies, the mount offer and the window share.
// A medium is the same only when something recorded says so: the file
// system's identity where both sides have one that compares, else a sample
// of the catalog's files found at the place as they were catalogued. A
// label and a size alone never make a medium the same.

#include <cstdint>
#include <string>
#include <vector>

#include "model/catalog_record.h"

class CDriveFileInfo;
class CRootFileInfo;

enum class EMediumCheck {
  Same,
  OtherPlace,  // the medium, but another folder of it than the one catalogued
  Absent,      // the place is an empty mount point: the medium is not there
  Different,   // another medium
  Unknown,     // nothing tells: no identity to compare, the sample decided nothing
};

// What decided: the identities, the total sizes (no identity to compare, and
// sizes too far apart), or the sample of files.
enum class EMediumBasis : std::uint8_t { None, Id, Size, Sample };

struct CMediumVerdict {
  EMediumCheck eCheck = EMediumCheck::Unknown;
  EMediumBasis eBasis = EMediumBasis::None;
  CMediumIdentity recorded;                      // what the catalog says of its medium
  CMediumIdentity now;                           // what was read at the place
  std::uint32_t nSampled = 0, nSampleFound = 0;  // files compared, and found as catalogued

  // Known to be the catalog's medium by its identity: nothing guessed.
  bool Certain() const { return eCheck == EMediumCheck::Same && eBasis == EMediumBasis::Id; }
  bool Refused() const {
    return eCheck == EMediumCheck::Different || eCheck == EMediumCheck::Absent || eCheck == EMediumCheck::OtherPlace;
  }
};

// How two identities compare: equal, unequal, or not comparable (one has
// none, or they are of kinds that cannot be told from each other). One
// form on both systems: FAT serials with or without their dash, NTFS
// serials by their low 32 bits (Windows gives no more), an ext UUID by the
// fsid the kernel folds from it.
enum class EIdCompare { Equal, Unequal, Incomparable };
EIdCompare CompareMediumIds(const CMediumIdentity& a, const CMediumIdentity& b);

// A key that two records of one medium share, for grouping catalogs by
// medium; empty when the medium has no identity.
std::string MediumIdKey(const CMediumIdentity& medium);

// The medium as the catalog records it; without a record, what the catalog
// itself says (its label, its total size), with no identity.
CMediumIdentity RecordedMedium(const CDriveFileInfo& catalog);

// By the identities alone (no sample): Unknown where they do not compare
// and nothing else tells.
EMediumCheck CompareMedia(const CMediumIdentity& recorded, const CMediumIdentity& now);

// The rule, at place (an existing folder), for catalog.
CMediumVerdict JudgeMedium(const CDriveFileInfo& catalog, const std::string& place);
// The same with the medium already read at place.
CMediumVerdict JudgeMedium(const CDriveFileInfo& catalog, const std::string& place, const CMediumIdentity& now);

// Up to kMediumSampleFiles files spread over catalog, looked for below
// place by their real path relative to the base path: how many were looked
// at (found, or not there) and how many were found with their catalogued
// size and modification time. Files that could not be looked at count in
// neither.
constexpr std::uint32_t kMediumSampleFiles = 64;
void SampleCatalogFiles(const CDriveFileInfo& catalog, const std::string& place, std::uint32_t& compared,
                        std::uint32_t& found);

// A medium as the user knows it: "DATA (ext4, 1.2GB)".
std::string DescribeMedium(const CMediumIdentity& medium);

// The medium a catalog was made of, for a message that asks for it: its
// label, its type and its size, "DATA (CD-ROM, iso9660, 650MB)".
std::string DescribeCatalogMedium(const CDriveFileInfo& catalog);

// How the verdict was reached, in a few words: "ボリューム ID が一致",
// "ファイルの見本が一致 (60/64)".
std::string VerdictBasisText(const CMediumVerdict& verdict);

// The lines of a refusal: both media, and what told them apart.
std::string VerdictDifferenceText(const CMediumVerdict& verdict);

// Whether two total sizes are those of one medium: within 1%, as a file
// system's size moves a little while it accounts for itself.
bool SizesAlike(std::uint64_t a, std::uint64_t b);

// Whether the medium looks changed since catalog was made of it: its free
// space or its total size differ from the catalog's.
bool MediumLooksChanged(const CDriveFileInfo& catalog, const CMediumIdentity& medium, std::uint64_t freeBytes);

struct CMediumMatch {
  const CDriveFileInfo* pCatalog = nullptr;
  CMediumVerdict verdict;
  bool bChanged = false;
};

// The catalogs of set whose medium is at place (now read there), in the
// set's order.
std::vector<CMediumMatch> FindCatalogsOfMedium(const CRootFileInfo& set, const std::string& place,
                                               const CMediumIdentity& now, std::uint64_t freeBytes);

// A medium that has just appeared, and the first catalog of set it is.
struct CNewMedium {
  std::string strMountPoint;
  const CDriveFileInfo* pCatalog = nullptr;
};

// The mount points of now that before lacks and whose medium is a catalog
// of set, each read where it is mounted.
std::vector<CNewMedium> CatalogsOfNewMounts(const CRootFileInfo& set, const std::vector<std::string>& before,
                                            const std::vector<std::string>& now);
