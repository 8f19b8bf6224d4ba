#include "dialogs/find_by_date_page.h"

#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "dialogs/search_fields.h"
#include "dialogs/search_source.h"
#include "model/search_match.h"

namespace {

std::optional<CTime> BoundOf(const std::string& text) {
  if (text.empty()) return std::nullopt;
  return ParseDateBound(text);
}

}  // namespace

CFindByDatePage::CFindByDatePage(CSearchSheet* sheet, std::string startPath)
    : CSearchPage(sheet, std::move(startPath)) {
  CreateSearchPage("FindByDatePage", "日付で検索");
}

void CFindByDatePage::OnFirstShow() {
  CSearchPage::OnFirstShow();
  m_strFrom = m_strTo = TodayDateText();
  if (auto* from = XRCCTRL(*this, "ID_DATE_FROM", wxTextCtrl)) from->ChangeValue(wxString::FromUTF8(m_strFrom));
  if (auto* to = XRCCTRL(*this, "ID_DATE_TO", wxTextCtrl)) to->ChangeValue(wxString::FromUTF8(m_strTo));
}

bool CFindByDatePage::ReadControls() {
  if (auto* from = XRCCTRL(*this, "ID_DATE_FROM", wxTextCtrl)) m_strFrom = from->GetValue().utf8_string();
  if (auto* to = XRCCTRL(*this, "ID_DATE_TO", wxTextCtrl)) m_strTo = to->GetValue().utf8_string();
  return true;
}

int CFindByDatePage::RunSearch(CItemSummaryList& results) {
  return GetSource().FindByDate(m_strStartPath, BoundOf(m_strFrom), BoundOf(m_strTo), results);
}
