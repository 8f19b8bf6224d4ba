#pragma once
// Which catalogued files are copies of one another, across catalogs and
// sets, from the catalogs alone: the backup question (what lives on one
// medium only) and the waste question (where the duplicates are).
//
// Two files are copies when both have content fingerprints and these are
// equal; when either has none, when their names (in NFC), sizes and
// modification times (to the second) are equal, a "likely" match. Loose
// modes match by name and size, or size alone. Empty files, files below the
// floor, links and folders never match (and are not counted at all).
//
// The files are numbered in walk order (set by set, catalog by catalog) and
// joined by union-find over keys sorted in flat arrays: no step is
// quadratic, and memory stays within a few dozen bytes a file.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "model/root_file_info.h"

enum class ECopyMatch : std::uint8_t {
  Content,   // fingerprints, else name, size and time
  NameSize,  // name and size, times ignored
  Size,      // size alone
};

struct CCopyOptions {
  ECopyMatch eBy = ECopyMatch::Content;
  std::uint64_t nMinSize = 1;  // empty files never match
};

struct CCopyCatalog {
  std::size_t nSet;  // index into the sets given
  const CDriveFileInfo* pCatalog;
  // The first catalog of its medium: catalogs with one catalog identity (a
  // set and its copy) or one medium identity (the disk catalogued twice),
  // or, without these, one label, cataloguing time and total size.
  std::uint32_t nMedium;
};

// A group of files that are copies; members index the files, ascending.
struct CCopyGroup {
  std::vector<std::uint32_t> members;
  std::uint64_t nSize = 0;   // of its first member
  std::uint32_t nMedia = 0;  // distinct media among the members
  // Distinct files: the same file in two catalogs of one medium (catalogued
  // twice, or a set and its copy) counts once.
  std::uint32_t nCopies = 0;
  bool bLikely = false;  // matched by name, size and time, not content
};

class CCopyIndex {
 public:
  // Numbers and groups the files of sets; false when cancelled.
  bool Build(const std::vector<const CRootFileInfo*>& sets, const CCopyOptions& options,
             const std::atomic<bool>* cancel = nullptr);

  const std::vector<CCopyCatalog>& Catalogs() const { return m_catalogs; }
  std::size_t FileCount() const { return m_items.size(); }
  const CFileInfo& Item(std::uint32_t file) const { return *m_items[file]; }
  const CCopyCatalog& CatalogOf(std::uint32_t file) const { return m_catalogs[m_catalogOfFile[file]]; }
  std::uint32_t CatalogIndexOf(std::uint32_t file) const { return m_catalogOfFile[file]; }

  // The groups, singletons included, in no particular order.
  std::size_t GroupCount() const { return m_groupEnds.size(); }
  void GetGroup(std::size_t g, CCopyGroup& out) const;

  // The logical paths of files (ascending), "CATALOG\dir\name", in one walk.
  std::vector<std::string> PathsOf(const std::vector<std::uint32_t>& files) const;

 private:
  std::uint32_t Find(std::uint32_t file);
  void Join(std::uint32_t a, std::uint32_t b, bool likely);
  void MakeGroupOrder();
  template <class FEach>
  void ForEachFile(FEach&& each) const;

  std::vector<CCopyCatalog> m_catalogs;
  std::vector<const CFileInfo*> m_items;
  std::vector<std::uint32_t> m_catalogOfFile;
  std::vector<std::uint32_t> m_parent;  // union-find; after MakeGroupOrder, the files by group
  std::vector<bool> m_likely;           // per root, then per group
  std::vector<std::uint32_t> m_groupEnds;
  std::vector<const CRootFileInfo*> m_sets;
  std::uint64_t m_nMinSize = 1;
};

// The copies question for one catalog: its files with fewer than n copies
// on distinct media (itself included: n = 2 lists what lives on this medium
// only; a second copy on the same medium does not count), and their bytes.
struct CCatalogCopySummary {
  std::uint32_t nCatalog;  // index into CCopyIndex::Catalogs()
  std::uint64_t nFiles = 0, nBytes = 0;
  std::uint64_t nCatalogFiles = 0, nCatalogBytes = 0;  // the files considered
  double Share() const { return nCatalogBytes == 0 ? 0 : double(nBytes) / double(nCatalogBytes); }
};

struct CFewCopies {
  std::vector<std::uint32_t> files;   // ascending
  std::vector<std::uint32_t> copies;  // media holding each file's content
  std::vector<bool> likely;
  std::vector<CCatalogCopySummary> summaries;  // the chosen catalogs, in order
};

// The files of the chosen catalogs (indices into index.Catalogs(); all when
// empty) with fewer than n copies.
CFewCopies FindFewCopies(const CCopyIndex& index, const std::vector<std::uint32_t>& chosen, std::uint32_t n);

// The groups of two or more distinct copies (nCopies), the largest waste
// (size times copies beyond the first) first.
std::vector<std::uint32_t> FindDuplicates(const CCopyIndex& index);
