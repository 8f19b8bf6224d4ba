#pragma once
// The name and note pages: a pattern with the exact and match-case flags,
// and the width and kana options, which the caller keeps between searches.

#include <string>

#include "dialogs/search_page.h"
#include "model/search_fold.h"

class CFindByTextPage : public CSearchPage {
 public:
  bool ReadControls() override;

  // The option boxes as the user left them, and their start values.
  CTextOptions GetTextOptions() const;
  void SetTextOptions(const CTextOptions& options);

  std::string m_strPattern;
  bool m_bExact = false;
  bool m_bCaseSensitive = false;
  CTextOptions m_options;

 protected:
  CFindByTextPage(CSearchSheet* sheet, std::string startPath, const char* xrcName, const std::string& caption,
                  const char* patternId);

 private:
  const char* m_pszPatternId;
};

class CFindByNamePage : public CFindByTextPage {
 public:
  CFindByNamePage(CSearchSheet* sheet, std::string startPath);
  int RunSearch(CItemSummaryList& results) override;
};

class CFindByNotePage : public CFindByTextPage {
 public:
  CFindByNotePage(CSearchSheet* sheet, std::string startPath);
  int RunSearch(CItemSummaryList& results) override;
};
