#pragma once
// The date page: from and to dates as text; an empty or unusable text is no
// bound.

#include <string>

#include "dialogs/search_page.h"

class CFindByDatePage : public CSearchPage {
 public:
  CFindByDatePage(CSearchSheet* sheet, std::string startPath);

  // Both fields start with today's local date, taken when the page is first
  // shown.
  void OnFirstShow() override;
  bool ReadControls() override;
  int RunSearch(CItemSummaryList& results) override;

  std::string m_strFrom;
  std::string m_strTo;
};
