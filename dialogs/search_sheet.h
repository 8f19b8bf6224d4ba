#pragma once
// The search sheet: four pages (name, date, size, note); OK runs the search
// of the page on display into the result list.

#include <string>

#include "dialogs/property_sheet.h"
#include "model/item_summary.h"

class CSearchSource;
class CFindByNamePage;
class CFindByDatePage;
class CFindBySizePage;
class CFindByNotePage;

class CSearchSheet : public CPropertySheet {
 public:
  // caption and startPath are UTF-8; source and results outlive the sheet.
  CSearchSheet(wxWindow* parent, const std::string& caption, const std::string& startPath, CSearchSource& source,
               CItemSummaryList& results);

  CSearchSource& GetSource() const { return m_source; }
  CItemSummaryList& GetResults() const { return *m_pResults; }

  CFindByNamePage* GetNamePage() const { return m_pNamePage; }
  CFindByDatePage* GetDatePage() const { return m_pDatePage; }
  CFindBySizePage* GetSizePage() const { return m_pSizePage; }
  CFindByNotePage* GetNotePage() const { return m_pNotePage; }

 private:
  CSearchSource& m_source;
  CItemSummaryList* m_pResults;
  // Owned by the sheet's book, in tab order.
  CFindByNamePage* m_pNamePage;
  CFindByDatePage* m_pDatePage;
  CFindBySizePage* m_pSizePage;
  CFindByNotePage* m_pNotePage;
};
