#include "dialogs/find_by_date_page.h"

#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "dialogs/search_fields.h"
#include "dialogs/search_source.h"
#include "model/search_match.h"

namespace {

// The bound of a field's text; an empty field is none.
std::optional<CTime> BoundOf(const std::string& text) {
  if (text.empty()) return std::nullopt;
  return ParseStrictDate(text);
}

// Reads field into text, or refuses a text that is no date, as the command
// line does.
bool ReadDateField(wxTextCtrl* field, std::string& text) {
  if (!field) return true;
  const std::string value = field->GetValue().utf8_string();
  if (!value.empty() && !ParseStrictDate(value))
    return RefuseSearchField(
        field, "日付として読めません: " + value + "（" + kStrictDateForms + " のどれかで指定してください）");
  text = value;
  return true;
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
  return ReadDateField(XRCCTRL(*this, "ID_DATE_FROM", wxTextCtrl), m_strFrom) &&
         ReadDateField(XRCCTRL(*this, "ID_DATE_TO", wxTextCtrl), m_strTo);
}

int CFindByDatePage::RunSearch(CItemSummaryList& results) {
  return GetSource().FindByDate(m_strStartPath, BoundOf(m_strFrom), BoundOf(m_strTo), results);
}
