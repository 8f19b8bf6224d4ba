#pragma once
// Listing what archives hold (zip, 7z, rar, lzh, cab, tar with its
// compressions, disc images) through libarchive, reading headers only where
// the format allows. Archives come from anywhere, so the listing is bounded:
// members counted, time limited, archives inside archives read only to the
// depth asked and only up to a size. A broken, encrypted or truncated
// archive is listed as far as it reads, and its state says so. Member paths
// are never used to open anything: ".." and "/" are names like any other.

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/file_info.h"
#include "model/limits.h"
#include "platform/content_reader.h"

// Bits of an archive's state (CFileInfo::ArchiveState).
enum EArchiveState : std::uint8_t {
  kArchiveDamaged = 1,    // not read to its end: broken, truncated or no archive
  kArchiveEncrypted = 2,  // members, or the listing itself, encrypted
  kArchiveCapped = 4,     // more members than a listing keeps, or too large to open inside another
  kArchiveTimedOut = 8,   // the listing ran out of time
  kArchiveNamesCut = 16,  // names longer than an item holds were cut (item_builder.h)
  kArchiveLeftOut = 32,   // members whose paths break the name rule or the limits were left out
  kArchiveStateMask = 63,
};

struct CArchiveLimits {
  std::uint32_t nMaxMembers = kMaxArchiveMembers;  // in one archive, those inside it and the folders implied included
  int nDepth = 1;                                  // 1: an archive's own members; 2: and those of archives in it ...
  int nSeconds = 60;                               // for one archive, those inside it included
  // An archive inside another is read into memory to be listed; larger
  // ones are left closed.
  std::uint64_t nMaxNestedBytes = 64 << 20;
};

// Whether a file of this name is taken for an archive: by its extension,
// so that no other file is opened.
bool IsArchiveName(std::string_view name);

// What the state tells a user, one phrase; empty for a whole listing.
std::string ArchiveStateText(std::uint8_t state);

enum class EListArchive { Listed, Unopened, Cancelled };

// Lists the archive reader serves from path into members (an empty members
// folder, see CFolderFileInfo::AttachMembers); state gets the EArchiveState
// bits. Unopened: the file could not be opened, and members stays empty.
EListArchive ListArchive(CContentReader& reader, const std::string& path, CFolderFileInfo& members,
                         const CArchiveLimits& limits, const std::atomic<bool>* cancel, std::uint8_t& state);

// Splits a member's stored path into item names: "/" separates, empty and
// "." parts go, every other part becomes a name by the rule for file names
// (real_name.h); ".." stays, for the name rule to refuse. Stops after max
// names: a path of more is refused whatever follows.
std::vector<std::string> MemberNamesOf(std::string_view storedPath, std::size_t max = SIZE_MAX);
