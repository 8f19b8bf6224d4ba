#pragma once
// Base of the search sheet's pages: the start label and the rule that only
// the page on display searches when OK is pressed.

#include <string>

#include "dialogs/property_sheet.h"
#include "model/item_summary.h"

class CSearchSheet;
class CSearchSource;
class wxTextCtrl;

class CSearchPage : public CPropertyPage {
 public:
  // Searches with the page's criterion, appending to results; nonzero when
  // something was found. The base searches nothing.
  virtual int RunSearch(CItemSummaryList& results);

  void OnFirstShow() override;
  void OnApply() override;

  const std::string& GetStartPath() const { return m_strStartPath; }

 protected:
  CSearchPage(CSearchSheet* sheet, std::string startPath);
  // Creates the page from its XRC layout and adds it to the sheet.
  bool CreateSearchPage(const char* xrcName, const std::string& caption);
  CSearchSource& GetSource() const;

  std::string m_strStartPath;
  CSearchSheet* m_pSearchSheet;
};

// Refuses field's text in front of the user with message (UTF-8), then gives
// the field the focus with its text selected. Returns false.
bool RefuseSearchField(wxTextCtrl* field, const std::string& message);
