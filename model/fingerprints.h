#pragma once
// Content fingerprints of a catalog's files: 128-bit XXH3 of each file's
// bytes, the value `xxhsum -H2` prints. A catalog holds them in one table
// keyed by the item's offset in a pre-order walk below it (the first child
// at 1), the way the extension block names items: 20 bytes a file, where a
// pointer key would cost 24 and a map far more. The offsets hold as long as
// the tree does; a catalog's tree is only ever replaced whole.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/file_info.h"

class CDriveFileInfo;

struct CFingerprint {
  std::uint64_t nLow = 0;
  std::uint64_t nHigh = 0;

  bool operator==(const CFingerprint& other) const { return nLow == other.nLow && nHigh == other.nHigh; }
  bool operator!=(const CFingerprint& other) const { return !(*this == other); }
  bool operator<(const CFingerprint& other) const {
    return nHigh != other.nHigh ? nHigh < other.nHigh : nLow < other.nLow;
  }
  // 32 lowercase hex digits, high half first, as xxhsum writes them.
  std::string Hex() const;
};

// Incremental XXH3-128 of a byte stream.
class CContentHash {
 public:
  CContentHash();
  ~CContentHash();
  CContentHash(const CContentHash&) = delete;
  CContentHash& operator=(const CContentHash&) = delete;
  void Update(const void* data, std::size_t size);
  CFingerprint Digest() const;

 private:
  struct CState;
  CState* m_pState;
};

class CFingerprintTable {
 public:
  bool Empty() const { return m_entries.empty(); }
  std::size_t Size() const { return m_entries.size(); }
  std::optional<CFingerprint> Find(std::uint32_t offset) const;
  // Sets the fingerprints of several items at once, replacing any they had.
  void Add(std::vector<std::pair<std::uint32_t, CFingerprint>> items);
  // Calls each(offset, fingerprint) in ascending offset order.
  template <class FEach>
  void ForEach(FEach&& each) const {
    for (const CEntry& entry : m_entries) each(entry.nOffset, entry.Fingerprint());
  }
  // Items [first, first + count) left the tree: their fingerprints go and
  // the items after them move up.
  void RemoveRange(std::uint32_t first, std::uint32_t count);
  void Swap(CFingerprintTable& other) { m_entries.swap(other.m_entries); }
  void Clear() { m_entries.clear(); }

  // The extension block's payload: u32 offset and the 16 bytes of the
  // fingerprint as xxhsum's canonical form (big-endian), ascending.
  std::string Encode() const;
  // False, leaving the table as it was, when payload does not read or names
  // an offset past itemCount.
  bool Decode(std::string_view payload, std::uint32_t itemCount);

  bool operator==(const CFingerprintTable& other) const;

 private:
  // Four-byte words, so that an entry packs into 20 bytes.
  struct CEntry {
    std::uint32_t nOffset;
    std::uint32_t aWords[4];
    CFingerprint Fingerprint() const;
    void Set(const CFingerprint& fingerprint);
  };
  static_assert(sizeof(CEntry) == 20, "a fingerprint costs 20 bytes");
  std::vector<CEntry> m_entries;
};

// Calls each(item, offset) for every item below catalog in pre-order, the
// first child at offset 1: the offsets the table and the block use.
template <class FEach>
void ForItemsWithOffsets(const CFolderFileInfo& catalog, FEach&& each) {
  std::uint32_t offset = 0;
  WalkBelow(catalog, {}, [&](const CFileInfo& item, const CWalkPath&) { each(item, ++offset); });
}

// The logical paths ("LABEL\dir\name") of the items below catalog that
// wanted(item, offset) picks, in walk order.
template <class FWanted>
std::vector<std::string> LogicalPathsWhere(const CFolderFileInfo& catalog, FWanted&& wanted) {
  std::vector<std::string> paths;
  std::uint32_t offset = 0;
  WalkBelow(catalog, std::string(catalog.GetName()), [&](const CFileInfo& item, const CWalkPath& path) {
    if (wanted(item, ++offset)) paths.push_back(path.PathOf(item));
  });
  return paths;
}

// The fingerprint of item, an item of catalog (one walk of the catalog).
std::optional<CFingerprint> FingerprintOf(const CDriveFileInfo& catalog, const CFileInfo& item);

// The fingerprints of items of set (as a search gives them), in their
// order, found in one walk of each catalog that has any.
class CRootFileInfo;
std::vector<std::optional<CFingerprint>> FingerprintsOfItems(const CRootFileInfo& set,
                                                             const std::vector<const CFileInfo*>& items);

// Hex digits (either case) as a fingerprint; nothing when text is not 32 of them.
std::optional<CFingerprint> ParseFingerprint(std::string_view text);
