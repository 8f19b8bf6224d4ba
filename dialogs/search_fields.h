#pragma once
// What the search dialogs decide without a window: reading the size fields,
// the start label, and the rows of the results list.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/item_summary.h"

// The size fields' rule: blanks or tabs, an optional plus sign, ASCII digits,
// blanks or tabs. Anything else (a minus sign, no digits, a full-width digit,
// trailing text) gives nothing. Values above 4294967295 are taken as that.
std::optional<std::uint32_t> ParseUnsignedField(const std::string& text);

// The text every search page shows above its fields.
std::string StartLabel(const std::string& startPath);

// Today's local date as the date fields start with it, "%Y/%m/%d".
std::string TodayDateText();

// One row of the results list.
struct CResultRow {
  std::string m_strFile;     // the path from the catalog's backslash on
  std::string m_strCatalog;  // the catalog's label
  std::string m_strArchive;  // the archive a member was found in
  int m_nImage = 0;          // small image index
};

// The file column's text: the path, and for a member the archive it is in.
std::string ResultFileText(const CResultRow& row);

// Rows for the records whose path holds a backslash, in list order; records
// of catalogs and of the set get none. imageFor gives a record's image.
template <class ImageFor>
std::vector<CResultRow> MakeResultRows(const CItemSummaryList& results, ImageFor imageFor);

// Rows showing folderImage first, then each group by its file text, compared
// with the search's case folding; equal texts keep their order.
void SortResultRows(std::vector<CResultRow>& rows, int folderImage);

// The widths of the "ファイル" and "カタログ" columns in a list whose client
// area is listWidth wide, when the widest catalog label is labelWidth wide:
// the catalog column shows its labels whole (and is at least 100), the file
// column takes the rest (at least 100), so that both are in view.
std::pair<int, int> ResultColumnWidths(int listWidth, int labelWidth);

// "%d 件が検索されました。選択したノードが展開されます"
std::string ResultCountText(int rows);

// The item's path again from a row's two texts; empty unless both are set.
std::string RebuildResultPath(const std::string& catalog, const std::string& file);

// The split of one record's path: false when it holds no backslash.
bool SplitResultPath(const std::string& path, std::string& catalog, std::string& file);

template <class ImageFor>
std::vector<CResultRow> MakeResultRows(const CItemSummaryList& results, ImageFor imageFor) {
  std::vector<CResultRow> rows;
  rows.reserve(results.size());
  for (const auto& record : results) {
    if (!record) continue;
    CResultRow row;
    if (!SplitResultPath(record->m_strPath, row.m_strCatalog, row.m_strFile)) continue;
    row.m_strArchive = record->m_strArchive;
    row.m_nImage = imageFor(*record);
    rows.push_back(std::move(row));
  }
  return rows;
}
