#pragma once
// The program's own records, kept in a block after the set object, where
// other readers of set files stop reading. The block carries a stamp of the
// set object it belongs to, so that a set re-saved by another writer that
// kept the trailing bytes is not given records about other items. The
// layout is in docs/extension-block.md.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CRootFileInfo;
class CDriveFileInfo;

// What became of the block when the set was read.
enum class EExtensionState : std::uint8_t {
  None,  // no block: an older set, or one another program saved
  Loaded,
  Stale,        // a block of another set object: the set was re-saved elsewhere
  Damaged,      // cut short or altered: the records that read were taken
  Unsupported,  // written by a later version of the layout
};

// The one line to tell the user when the records were not taken whole;
// null when there is nothing to tell.
const char* ExtensionNotice(EExtensionState state);

// What a Damaged block cost, for the messages that name the damage.
struct CExtensionDamage {
  std::uint32_t nKept = 0;  // records taken
  std::uint32_t nLost = 0;  // records lost: exact when bCountKnown, else at least this many
  bool bCountKnown = false;
  std::uint64_t nUnreadBytes = 0;  // bytes of the block no record was taken from
  bool bStart = false;             // no readable block start: the magic or the header is damaged
  bool bCutShort = false;          // the block ends before its end
};

// Whether a save of a set read in state drops records the block held: a
// block that did not read whole, or one of a later layout.
inline bool SaveDropsRecords(EExtensionState state) {
  return state == EExtensionState::Damaged || state == EExtensionState::Unsupported;
}

// A record of a type this version does not know, kept to be written back.
// nKey counts from the catalog it is kept with (0: the catalog itself), or
// from the set for records kept by the set.
struct CExtensionRecord {
  std::uint16_t nType = 0;
  std::uint32_t nKey = 0;
  std::string strPayload;

  bool operator==(const CExtensionRecord& other) const {
    return nType == other.nType && nKey == other.nKey && strPayload == other.strPayload;
  }
};

// Where the writer met the items the block speaks of: positions in the walk
// of the set (the set 0, then every item in pre-order).
struct CExtensionPlaces {
  std::vector<std::pair<const CDriveFileInfo*, std::uint32_t>> catalogs;
  // Items with a flag the block keeps (file_info.h), with their positions.
  std::vector<std::pair<std::uint32_t, std::uint16_t>> flagged;
};

// The flags of item the block keeps; the writer lists items with any
// (CFileInfo::HasScanFlags).
class CFileInfo;
std::uint16_t KeptFlagsOf(const CFileInfo& item);

// The block for set, whose set object is setBytes long and hashes to
// setHash; empty when there is nothing to keep.
std::string BuildExtensionBlock(const CRootFileInfo& set, const CExtensionPlaces& places, std::uint64_t setLength,
                                std::uint64_t setHash);

// Where the reader met the set's own catalogs: a catalog's position, and
// one past the position of its last item.
struct CCatalogSpan {
  CDriveFileInfo* pCatalog;
  std::uint32_t nStart, nEnd;
};

// Reads block (the bytes after the set object, possibly none) into set,
// whose set object is setLength long and hashes to setHash and whose
// catalogs stand at spans; returns what became of it, and for a damaged
// block puts what it cost in set.m_extensionDamage. A block that does not
// belong leaves the set as the set object alone makes it; a damaged one
// gives the records that still read whole.
EExtensionState ApplyExtensionBlock(std::string_view block, std::uint64_t setLength, std::uint64_t setHash,
                                    CRootFileInfo& set, const std::vector<CCatalogSpan>& spans);

// The hash the stamp uses, over a whole buffer or piece by piece.
std::uint64_t HashBytes(std::string_view bytes);
class CStreamHash {
 public:
  CStreamHash();
  ~CStreamHash();
  CStreamHash(const CStreamHash&) = delete;
  CStreamHash& operator=(const CStreamHash&) = delete;
  void Update(const void* data, std::size_t size);
  std::uint64_t Digest() const;

 private:
  struct CState;
  CState* m_pState;
};
