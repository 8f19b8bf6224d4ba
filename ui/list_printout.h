#pragma once
// The list on paper and in the print preview: the pages ListPageTexts lays
// out, drawn at the list's own size, smaller when its columns are wider
// than the paper.

#include <vector>

#include <wx/print.h>

#include "ui/list_print.h"

class CListPrintout : public wxPrintout {
 public:
  explicit CListPrintout(CListPrintData data);

  void OnPreparePrinting() override;
  bool HasPage(int page) override;
  void GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) override;
  bool OnPrintPage(int page) override;

  int GetPageCount() const { return PageCount(m_data.m_vecCells.size(), m_nRowsPerPage); }
  // The texts of page (from 1) as the last page set-up lays them out.
  std::vector<CPrintedText> PageTexts(int page) const;

 private:
  // Scales the DC and measures the page and the lines; false without a DC.
  bool SetUpPage();

  CListPrintData m_data;
  wxRect m_rectText;  // the page inside its margins, in the DC's units
  int m_nLineHeight = 1;
  int m_nRowsPerPage = 1;
};
