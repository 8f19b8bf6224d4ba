#include "dialogs/search_sheet.h"

#include "dialogs/find_by_date_page.h"
#include "dialogs/find_by_size_page.h"
#include "dialogs/find_by_text_page.h"

CSearchSheet::CSearchSheet(wxWindow* parent, const std::string& caption, const std::string& startPath,
                           CSearchSource& source, CItemSummaryList& results)
    : CPropertySheet(parent, caption), m_source(source), m_pResults(&results) {
  m_pNamePage = new CFindByNamePage(this, startPath);
  m_pDatePage = new CFindByDatePage(this, startPath);
  m_pSizePage = new CFindBySizePage(this, startPath);
  m_pNotePage = new CFindByNotePage(this, startPath);
  FinishLayout();
}
