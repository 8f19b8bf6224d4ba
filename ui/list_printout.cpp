#include "ui/list_printout.h"

#include <wx/control.h>
#include <wx/dc.h>

#include <cstdint>
#include <numeric>

namespace {

constexpr int kMargin = 48;      // screen pixels: half an inch at 96 per inch
constexpr int kCellPadding = 6;  // between a cell's text and the next column

wxString CutToWidth(wxDC& dc, const std::string& text, int width) {
  const wxString whole = wxString::FromUTF8(text);
  if (width <= 0) return wxString();
  return wxControl::Ellipsize(whole, dc, wxELLIPSIZE_END, width);
}

}  // namespace

CListPrintout::CListPrintout(CListPrintData data)
    : wxPrintout(wxString::FromUTF8(data.m_strTitle)), m_data(std::move(data)) {}

bool CListPrintout::SetUpPage() {
  wxDC* dc = GetDC();
  if (!dc) return false;
  dc->SetFont(*wxNORMAL_FONT);
  const int columns = std::accumulate(m_data.m_vecWidths.begin(), m_data.m_vecWidths.end(), 0);
  MapScreenSizeToPage();
  wxRect page = GetLogicalPageRect();
  const int needed = columns + 2 * kMargin;
  if (needed > page.width && page.width > 0) {
    FitThisSizeToPage(wxSize(needed, int(std::int64_t(needed) * page.height / page.width)));
    page = GetLogicalPageRect();
  }
  m_rectText = page.Deflate(kMargin);
  m_nLineHeight = std::max(1, dc->GetCharHeight() * 5 / 4);
  m_nRowsPerPage = RowsPerPage(m_rectText.height, m_nLineHeight);
  return true;
}

void CListPrintout::OnPreparePrinting() { SetUpPage(); }

bool CListPrintout::HasPage(int page) { return page >= 1 && page <= GetPageCount(); }

void CListPrintout::GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) {
  *minPage = *pageFrom = 1;
  *maxPage = *pageTo = GetPageCount();
}

std::vector<CPrintedText> CListPrintout::PageTexts(int page) const {
  return ListPageTexts(m_data, page, m_nRowsPerPage, m_rectText.width, m_nLineHeight);
}

bool CListPrintout::OnPrintPage(int page) {
  if (!SetUpPage()) return false;
  wxDC& dc = *GetDC();
  const wxFont normal = dc.GetFont();
  const wxFont bold = normal.Bold();
  int headingBottom = 0;
  for (const CPrintedText& text : PageTexts(page)) {
    dc.SetFont(text.m_bHeading ? bold : normal);
    const wxString shown = CutToWidth(dc, text.m_strText, text.m_nWidth - kCellPadding);
    int x = m_rectText.x + text.m_nX;
    const int y = m_rectText.y + text.m_nY;
    if (text.m_bCentred) x += (text.m_nWidth - dc.GetTextExtent(shown).x) / 2;
    dc.DrawText(shown, x, y);
    if (text.m_bHeading) headingBottom = y + m_nLineHeight - 2;
  }
  // A rule under the headings, across the columns shown.
  if (headingBottom > 0) dc.DrawLine(m_rectText.x, headingBottom, m_rectText.GetRight(), headingBottom);
  return true;
}
