#include "ui/column_widths.h"

#include <algorithm>
#include <cstdlib>

#include "model/text_format.h"
#include "ui/view_rules.h"

namespace {

// The table widths, at 96 DPI.
constexpr int kTableWidths[LIST_COLUMN_COUNT] = {120, 50, 93, 70, 200};
// A cell's room beyond its text: the list's margins on both sides.
constexpr int kCellPadding = 14;

}  // namespace

std::vector<int> FirstColumnWidths(const CTextWidth& widthOf, const CFromDip& dip) {
  std::vector<std::string> samples[LIST_COLUMN_COUNT];
  samples[LIST_COLUMN_SIZE] = {"99,999,999KB"};
  samples[LIST_COLUMN_DATE] = {"2026/12/07 23:59"};
  for (const char* extension : {".txt", ".jpg", ".png", ".pdf", ".html", ".zip", ".mp3", ".doc", ".xls"})
    samples[LIST_COLUMN_KIND].push_back(TypeNameFor(extension, false));
  samples[LIST_COLUMN_KIND].push_back(TypeNameFor("", true));
  std::vector<int> widths;
  for (int column = 0; column < LIST_COLUMN_COUNT; ++column) {
    int width = dip(kTableWidths[column]);
    for (const std::string& text : samples[column]) width = std::max(width, widthOf(text) + dip(kCellPadding));
    widths.push_back(width);
  }
  return widths;
}

int FittingColumnWidth(const std::vector<CListRow>& rows, int column, const std::string& title,
                       const CTextWidth& widthOf, const CFromDip& dip) {
  int width = widthOf(title);
  const std::size_t count = std::min(rows.size(), kMaxMeasuredRows);
  for (std::size_t i = 0; i < count; ++i) {
    const std::string& text = CellText(rows[i], column);
    if (column == LIST_COLUMN_NAME)
      width = std::max(width, widthOf(DisplayName(text)) + dip(20));  // the icon before the name
    else if (column == LIST_COLUMN_NOTE)
      width = std::max(width, widthOf(OneLineText(text)));
    else
      width = std::max(width, widthOf(text));
  }
  return width + dip(kCellPadding);
}

int ColumnOfDivider(const std::vector<int>& widths, int x, int slack) {
  int right = 0;
  for (std::size_t column = 0; column < widths.size(); ++column) {
    right += widths[column];
    if (std::abs(x - right) <= slack) return int(column);
  }
  return -1;
}
