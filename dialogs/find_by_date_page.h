#pragma once
// The date page: from and to dates as text; an empty text is no bound, any
// other must be a date in one of the command line's forms.

#include <string>

#include "dialogs/search_page.h"

class CFindByDatePage : public CSearchPage {
 public:
  CFindByDatePage(CSearchSheet* sheet, std::string startPath);

  // Both fields start with today's local date, taken when the page is first
  // shown.
  void OnFirstShow() override;
  // Refuses a field that is no date: says so, then gives the field the
  // focus with its text selected.
  bool ReadControls() override;
  int RunSearch(CItemSummaryList& results) override;

  std::string m_strFrom;
  std::string m_strTo;
};
