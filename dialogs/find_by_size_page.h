#pragma once
// The size page: lower and upper bound in KB, 0 for none.

#include <cstdint>

#include "dialogs/search_page.h"

class CFindBySizePage : public CSearchPage {
 public:
  CFindBySizePage(CSearchSheet* sheet, std::string startPath);

  // Refuses a field that is not an unsigned number: says so, then gives the
  // field the focus with its text selected.
  bool ReadControls() override;
  int RunSearch(CItemSummaryList& results) override;

  std::uint32_t m_nLower = 0;
  std::uint32_t m_nUpper = 0;
};
