#pragma once
// What a printed list shows and where, decided without a printer: the
// columns as the list shows them, the rows in its order, split into pages
// that each carry the place, the headings and a page number.

#include <cstddef>
#include <string>
#include <vector>

#include "ui/list_rows.h"

// The list as it was when printing was asked for: the printout keeps its
// own copy, since the list may change while the preview is open.
struct CListPrintData {
  std::string m_strTitle;                            // the place listed
  std::vector<std::string> m_vecHeadings;            // the columns shown
  std::vector<int> m_vecWidths;                      // their widths on screen
  std::vector<std::vector<std::string>> m_vecCells;  // per row, one text per column
};

// The data of rows as the list shows them: the first headings.size()
// columns (all of them in the details style, the name alone in the
// others), each as wide as widths says. Notes keep one line, as in their
// rows.
CListPrintData MakeListPrintData(const std::string& title, const std::vector<CListRow>& rows,
                                 const std::vector<std::string>& headings, const std::vector<int>& widths);

// The lines of a page: the title, the headings, the rows, a blank line and
// the page number; at least one row a page.
int RowsPerPage(int pageHeight, int lineHeight);
int PageCount(std::size_t rows, int rowsPerPage);

// "- 2 / 5 -"
std::string PageNumberText(int page, int pages);

// One text to draw: its place and the width it may take (cut beyond).
struct CPrintedText {
  std::string m_strText;
  int m_nX = 0, m_nY = 0, m_nWidth = 0;
  bool m_bHeading = false;
  bool m_bCentred = false;  // in its width
};

// The texts of page (from 1) of a page width wide, in lines lineHeight
// high, from the top left corner (0, 0).
std::vector<CPrintedText> ListPageTexts(const CListPrintData& data, int page, int rowsPerPage, int width,
                                        int lineHeight);
