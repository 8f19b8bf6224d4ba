#include "dialogs/copy_rows.h"

#include <algorithm>
#include <cstdio>

#include "model/text_format.h"
#include "model/time_format.h"

CCopyResults::CCopyResults(const CCopyIndex& index, std::vector<std::string> setNames, ECopyMatch by)
    : m_index(index), m_vecSetNames(std::move(setNames)), m_eBy(by) {}

void CCopyResults::SetDuplicates(const std::vector<std::uint32_t>& groups) {
  m_bDuplicates = true;
  m_nGroups = groups.size();
  m_vecRows.clear();
  m_vecSummary.clear();
  CCopyGroup group;
  for (std::size_t g = 0; g < groups.size(); ++g) {
    m_index.GetGroup(groups[g], group);
    const std::uint64_t waste = group.nSize * (group.nCopies - 1);
    for (std::uint32_t file : group.members) {
      CCopyRow row;
      row.nFile = file;
      row.nGroup = std::uint32_t(g + 1);
      row.nWaste = waste;
      row.nCopies = group.nMedia;
      row.bLikely = group.bLikely || m_eBy != ECopyMatch::Content;
      m_vecRows.push_back(std::move(row));
    }
  }
  SetPaths();
}

void CCopyResults::SetFewCopies(const CFewCopies& few) {
  m_bDuplicates = false;
  m_nGroups = 0;
  m_vecRows.clear();
  for (std::size_t i = 0; i < few.files.size(); ++i) {
    CCopyRow row;
    row.nFile = few.files[i];
    row.nCopies = few.copies[i];
    // A file alone matched nothing, so nothing about it is guessed.
    row.bLikely = row.nCopies >= 2 && (few.likely[i] || m_eBy != ECopyMatch::Content);
    m_vecRows.push_back(std::move(row));
  }
  SetPaths();
  m_vecSummary.clear();
  for (const CCatalogCopySummary& summary : few.summaries)
    // Exact bytes: FormatSize would show an empty catalog's 0 as 1.
    m_vecSummary.push_back({CatalogText(summary.nCatalog), FormatCount(summary.nFiles),
                            FormatCount(summary.nBytes) + "バイト", ShareText(summary.Share())});
}

void CCopyResults::SetPaths() {
  std::vector<std::uint32_t> files;
  files.reserve(m_vecRows.size());
  for (const CCopyRow& row : m_vecRows) files.push_back(row.nFile);
  std::sort(files.begin(), files.end());
  files.erase(std::unique(files.begin(), files.end()), files.end());
  std::vector<std::string> paths = m_index.PathsOf(files);
  for (CCopyRow& row : m_vecRows) {
    const auto at = std::size_t(std::lower_bound(files.begin(), files.end(), row.nFile) - files.begin());
    row.strPath = paths[at];
    row.nSet = std::uint32_t(m_index.CatalogOf(row.nFile).nSet);
  }
}

std::string CCopyResults::CatalogText(std::uint32_t catalog) const {
  const CCopyCatalog& entry = m_index.Catalogs()[catalog];
  const std::string label(entry.pCatalog->GetName());
  const std::string& set = entry.nSet < m_vecSetNames.size() ? m_vecSetNames[entry.nSet] : std::string();
  return set.empty() ? label : set + ": " + label;
}

std::vector<ECopyColumn> CCopyResults::Columns() const {
  if (m_bDuplicates)
    return {ECopyColumn::Group, ECopyColumn::Waste, ECopyColumn::Path,  ECopyColumn::Catalog,
            ECopyColumn::Size,  ECopyColumn::Time,  ECopyColumn::Likely};
  return {ECopyColumn::Copies, ECopyColumn::Path, ECopyColumn::Catalog,
          ECopyColumn::Size,   ECopyColumn::Time, ECopyColumn::Likely};
}

std::string CCopyResults::CellText(std::size_t index, ECopyColumn column) const {
  if (index >= m_vecRows.size()) return {};
  const CCopyRow& row = m_vecRows[index];
  const CFileInfo& item = m_index.Item(row.nFile);
  switch (column) {
    case ECopyColumn::Group: return std::to_string(row.nGroup);
    case ECopyColumn::Waste: return FormatSize(row.nWaste, false);
    case ECopyColumn::Copies: return std::to_string(row.nCopies);
    case ECopyColumn::Path: {
      const std::size_t slash = row.strPath.find('\\');
      return slash == std::string::npos ? row.strPath : row.strPath.substr(slash);
    }
    case ECopyColumn::Catalog: return CatalogText(m_index.CatalogIndexOf(row.nFile));
    case ECopyColumn::Size: return FormatSize(item.RecordSize(), false);
    case ECopyColumn::Time: return item.WriteFileTime() == 0 ? std::string() : FormatTime(item.GetModifiedTime());
    case ECopyColumn::Likely: return row.bLikely ? "推定" : "";
  }
  return {};
}

std::string CCopyResults::OpenSetPath(std::size_t row) const {
  return row < m_vecRows.size() && m_vecRows[row].nSet == 0 ? m_vecRows[row].strPath : std::string();
}

std::string CCopyResults::CountText() const {
  if (m_bDuplicates)
    return FormatCount(m_nGroups) + " グループ、" + FormatCount(m_vecRows.size()) + " 個のファイルが見つかりました";
  return FormatCount(m_vecRows.size()) + " 個のファイルが見つかりました";
}

const char* CopyColumnTitle(ECopyColumn column) {
  switch (column) {
    case ECopyColumn::Group: return "グループ";
    case ECopyColumn::Waste: return "無駄な容量";
    case ECopyColumn::Copies: return "コピー数";
    case ECopyColumn::Path: return "ファイル";
    case ECopyColumn::Catalog: return "カタログ";
    case ECopyColumn::Size: return "サイズ";
    case ECopyColumn::Time: return "更新日時";
    case ECopyColumn::Likely: return "推定";
  }
  return "";
}

std::string ShareText(double share) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f%%", share * 100);
  return text;
}

const char* CopyMatchText(ECopyMatch by) {
  switch (by) {
    case ECopyMatch::Content: return "内容のハッシュ、なければ名前・サイズ・更新日時";
    case ECopyMatch::NameSize: return "名前とサイズ";
    case ECopyMatch::Size: return "サイズだけ";
  }
  return "";
}

std::optional<std::uint64_t> ParseByteCount(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::nullopt;
  const std::size_t last = text.find_last_not_of(" \t");
  const std::string digits = text.substr(first, last + 1 - first);
  if (digits.size() > 18 || digits.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  return std::stoull(digits);
}
