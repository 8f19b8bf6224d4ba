#pragma once
// What a catalog records of its medium and of how it was made, so that an
// update rescans the same places the same way and refuses another medium
// instead of guessing. Kept in the set file's extension block
// (set_extension.h); a catalog made by an older version, or by another
// program, has none.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/limits.h"
#include "platform/medium_identity.h"

// Bytes in a catalog's own identity.
constexpr std::size_t kCatalogIdBytes = 16;

struct CCatalogRecord {
  CMediumIdentity medium;
  // The catalog's own identity, kCatalogIdBytes random bytes drawn when it
  // was first made and kept by updates and copies: a set and its copy hold
  // one catalog of one medium. Empty in records of older versions.
  std::string strCatalogId;
  // The places chosen, as real paths relative to the base path; empty when
  // the base path itself was catalogued whole.
  std::vector<std::string> chosenPaths;
  bool bFollowLinks = false;
  bool bCrossFileSystems = false;
  std::vector<std::string> excludes;  // patterns, as given
  bool bHashContents = false;         // files' content fingerprints taken
  int nArchiveDepth = 0;              // archives' members listed, to this depth
  // Mount points of other file systems the scan entered, as real paths
  // relative to the base path: an update that finds one unmounted keeps
  // what the catalog held there instead of taking it as removed.
  std::vector<std::string> innerMounts;
  // Links and other entries were recorded as what they are, not as the
  // file or folder they look like.
  bool bKindsRecorded = false;
  // Fields a later version wrote that this one does not know, written back
  // as they were read.
  std::string strUnknownFields;

  bool operator==(const CCatalogRecord& other) const {
    return medium == other.medium && strCatalogId == other.strCatalogId && chosenPaths == other.chosenPaths &&
           bFollowLinks == other.bFollowLinks && bCrossFileSystems == other.bCrossFileSystems &&
           excludes == other.excludes && bHashContents == other.bHashContents && nArchiveDepth == other.nArchiveDepth &&
           innerMounts == other.innerMounts && bKindsRecorded == other.bKindsRecorded &&
           strUnknownFields == other.strUnknownFields;
  }
};

// The record as the extension block stores it: fields tagged and
// length-prefixed, so that a later version can add some.
std::string EncodeCatalogRecord(const CCatalogRecord& record);
// False, with out unusable, when bytes do not read as a record.
bool DecodeCatalogRecord(std::string_view bytes, CCatalogRecord& out);

// A new catalog identity, kCatalogIdBytes random bytes.
std::string NewCatalogId();
// An identity as lowercase hex digits.
std::string CatalogIdText(const std::string& id);

// The record as lines for people: the medium, the paths chosen, the options.
std::string CatalogRecordText(const CCatalogRecord& record);
