#pragma once
// What the copies windows show, decided without a window: the rows of the
// duplicates and of the files with few copies, their cells, and the
// per-catalog summary, from a built CCopyIndex.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/copy_groups.h"

enum class ECopyColumn { Group, Waste, Copies, Path, Catalog, Size, Time, Likely };

struct CCopyRow {
  std::uint32_t nFile = 0;
  std::uint32_t nSet = 0;     // 0: the open set
  std::uint32_t nGroup = 0;   // duplicates: 1 for the largest waste
  std::uint64_t nWaste = 0;   // duplicates: the group's
  std::uint32_t nCopies = 0;  // few copies: media holding the content
  std::string strPath;        // "CATALOG\dir\name"
  bool bLikely = false;
};

// One line of the summary, as shown.
struct CCopySummaryLine {
  std::string strCatalog, strFiles, strBytes, strShare;
};

// The rows of one search. The index (and the sets it was built on) must
// outlive it. setNames name each set the index was given; the open set's
// name is empty, so that its catalogs show their labels alone.
class CCopyResults {
 public:
  CCopyResults(const CCopyIndex& index, std::vector<std::string> setNames, ECopyMatch by);

  // Fills the rows with every group of two or more copies, largest waste first.
  void SetDuplicates(const std::vector<std::uint32_t>& groups);
  // Fills the rows with the files found and keeps their summary.
  void SetFewCopies(const CFewCopies& few);

  bool IsDuplicates() const { return m_bDuplicates; }
  std::size_t RowCount() const { return m_vecRows.size(); }
  const CCopyRow& Row(std::size_t row) const { return m_vecRows[row]; }
  std::vector<ECopyColumn> Columns() const;
  std::string CellText(std::size_t row, ECopyColumn column) const;
  // The path to go to for a row of the open set; empty for other sets' rows.
  std::string OpenSetPath(std::size_t row) const;
  // The text above the list: how many files (and groups) were found.
  std::string CountText() const;
  const std::vector<CCopySummaryLine>& Summary() const { return m_vecSummary; }

 private:
  void SetPaths();
  std::string CatalogText(std::uint32_t catalog) const;

  const CCopyIndex& m_index;
  std::vector<std::string> m_vecSetNames;
  ECopyMatch m_eBy;
  bool m_bDuplicates = false;
  std::size_t m_nGroups = 0;
  std::vector<CCopyRow> m_vecRows;
  std::vector<CCopySummaryLine> m_vecSummary;
};

// A column's title.
const char* CopyColumnTitle(ECopyColumn column);

// "12.5%": a share of 0 to 1 with one decimal.
std::string ShareText(double share);

// The match modes in the options dialog's order, with their texts.
inline constexpr ECopyMatch kCopyMatchModes[] = {ECopyMatch::Content, ECopyMatch::NameSize, ECopyMatch::Size};
const char* CopyMatchText(ECopyMatch by);

// The minimum size field: ASCII digits with blanks around; nothing for
// anything else or more than 18 digits.
std::optional<std::uint64_t> ParseByteCount(const std::string& text);
