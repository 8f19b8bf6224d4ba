#include "ui/list_print.h"

#include <algorithm>

#include "ui/view_rules.h"

CListPrintData MakeListPrintData(const std::string& title, const std::vector<CListRow>& rows,
                                 const std::vector<std::string>& headings, const std::vector<int>& widths) {
  CListPrintData data;
  data.m_strTitle = title;
  data.m_vecHeadings = headings;
  const std::size_t columns = std::min<std::size_t>(headings.size(), LIST_COLUMN_COUNT);
  data.m_vecHeadings.resize(columns);
  for (std::size_t column = 0; column < columns; ++column)
    data.m_vecWidths.push_back(column < widths.size() ? std::max(0, widths[column]) : 0);
  data.m_vecCells.reserve(rows.size());
  for (const CListRow& row : rows) {
    std::vector<std::string> cells;
    for (std::size_t column = 0; column < columns; ++column) {
      const std::string& text = CellText(row, int(column));
      cells.push_back(column == LIST_COLUMN_NOTE ? OneLineText(text) : text);
    }
    data.m_vecCells.push_back(std::move(cells));
  }
  return data;
}

namespace {

constexpr int kFixedLines = 4;  // title, headings, the blank line, page number

}  // namespace

int RowsPerPage(int pageHeight, int lineHeight) {
  if (lineHeight <= 0) return 1;
  return std::max(1, pageHeight / lineHeight - kFixedLines);
}

int PageCount(std::size_t rows, int rowsPerPage) {
  const std::size_t perPage = std::size_t(std::max(1, rowsPerPage));
  return std::max(1, int((rows + perPage - 1) / perPage));
}

std::string PageNumberText(int page, int pages) {
  return "- " + std::to_string(page) + " / " + std::to_string(pages) + " -";
}

std::vector<CPrintedText> ListPageTexts(const CListPrintData& data, int page, int rowsPerPage, int width,
                                        int lineHeight) {
  std::vector<CPrintedText> texts;
  const int pages = PageCount(data.m_vecCells.size(), rowsPerPage);
  if (page < 1 || page > pages) return texts;
  texts.push_back({data.m_strTitle, 0, 0, width});
  int y = lineHeight;
  // Columns past the page's right edge are left out, as the list leaves
  // them out of sight; the last one shown is cut at the edge.
  auto addLine = [&](const std::vector<std::string>& cells, bool heading) {
    int x = 0;
    for (std::size_t column = 0; column < cells.size() && column < data.m_vecWidths.size() && x < width; ++column) {
      const int cell = std::min(data.m_vecWidths[column], width - x);
      texts.push_back({cells[column], x, y, cell, heading});
      x += data.m_vecWidths[column];
    }
    y += lineHeight;
  };
  addLine(data.m_vecHeadings, true);
  const std::size_t first = std::size_t(page - 1) * std::size_t(std::max(1, rowsPerPage));
  const std::size_t end = std::min(data.m_vecCells.size(), first + std::size_t(std::max(1, rowsPerPage)));
  for (std::size_t row = first; row < end; ++row) addLine(data.m_vecCells[row], false);
  const int bottom = (std::max(1, rowsPerPage) + kFixedLines - 1) * lineHeight;
  texts.push_back({PageNumberText(page, pages), 0, bottom, width, false, true});
  return texts;
}
