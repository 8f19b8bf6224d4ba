#include "dialogs/find_by_text_page.h"

#include <wx/checkbox.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "dialogs/search_source.h"

CFindByTextPage::CFindByTextPage(CSearchSheet* sheet, std::string startPath, const char* xrcName,
                                 const std::string& caption, const char* patternId)
    : CSearchPage(sheet, std::move(startPath)), m_pszPatternId(patternId) {
  CreateSearchPage(xrcName, caption);
  // The start values: empty pattern, both flags cleared, as the layout has them.
}

bool CFindByTextPage::ReadControls() {
  if (auto* pattern = dynamic_cast<wxTextCtrl*>(FindWindow(XRCID(m_pszPatternId))))
    m_strPattern = pattern->GetValue().utf8_string();
  if (auto* exact = XRCCTRL(*this, "ID_EXACT", wxCheckBox)) m_bExact = exact->GetValue();
  if (auto* matchCase = XRCCTRL(*this, "ID_MATCH_CASE", wxCheckBox)) m_bCaseSensitive = matchCase->GetValue();
  m_options = GetTextOptions();
  return true;
}

CTextOptions CFindByTextPage::GetTextOptions() const {
  CTextOptions options;
  if (auto* width = XRCCTRL(*this, "ID_IGNORE_WIDTH", wxCheckBox)) options.bIgnoreWidth = width->GetValue();
  if (auto* kana = XRCCTRL(*this, "ID_IGNORE_KANA", wxCheckBox)) options.bIgnoreKana = kana->GetValue();
  return options;
}

void CFindByTextPage::SetTextOptions(const CTextOptions& options) {
  m_options = options;
  if (auto* width = XRCCTRL(*this, "ID_IGNORE_WIDTH", wxCheckBox)) width->SetValue(options.bIgnoreWidth);
  if (auto* kana = XRCCTRL(*this, "ID_IGNORE_KANA", wxCheckBox)) kana->SetValue(options.bIgnoreKana);
}

CFindByNamePage::CFindByNamePage(CSearchSheet* sheet, std::string startPath)
    : CFindByTextPage(sheet, std::move(startPath), "FindByNamePage", "ファイル名で検索", "ID_NAME_PATTERN") {}

int CFindByNamePage::RunSearch(CItemSummaryList& results) {
  return GetSource().FindByName(m_strStartPath, m_strPattern, m_bExact, m_bCaseSensitive, results, m_options);
}

CFindByNotePage::CFindByNotePage(CSearchSheet* sheet, std::string startPath)
    : CFindByTextPage(sheet, std::move(startPath), "FindByNotePage", "ノートで検索", "ID_NOTE_PATTERN") {}

int CFindByNotePage::RunSearch(CItemSummaryList& results) {
  return GetSource().FindByNote(m_strStartPath, m_strPattern, m_bExact, m_bCaseSensitive, results, m_options);
}
