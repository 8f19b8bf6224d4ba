#include "dialogs/find_by_size_page.h"

#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "dialogs/search_fields.h"
#include "dialogs/search_source.h"

namespace {

// Reads field into value, or refuses it in front of the user.
bool ReadSizeField(wxTextCtrl* field, std::uint32_t& value) {
  if (!field) return true;
  if (auto parsed = ParseUnsignedField(field->GetValue().utf8_string())) {
    value = *parsed;
    return true;
  }
  return RefuseSearchField(field, "正の整数を入力してください。");
}

}  // namespace

CFindBySizePage::CFindBySizePage(CSearchSheet* sheet, std::string startPath)
    : CSearchPage(sheet, std::move(startPath)) {
  CreateSearchPage("FindBySizePage", "サイズで検索");
  if (auto* lower = XRCCTRL(*this, "ID_SIZE_LOWER", wxTextCtrl)) lower->ChangeValue(std::to_string(m_nLower));
  if (auto* upper = XRCCTRL(*this, "ID_SIZE_UPPER", wxTextCtrl)) upper->ChangeValue(std::to_string(m_nUpper));
}

bool CFindBySizePage::ReadControls() {
  return ReadSizeField(XRCCTRL(*this, "ID_SIZE_LOWER", wxTextCtrl), m_nLower) &&
         ReadSizeField(XRCCTRL(*this, "ID_SIZE_UPPER", wxTextCtrl), m_nUpper);
}

int CFindBySizePage::RunSearch(CItemSummaryList& results) {
  return GetSource().FindBySize(m_strStartPath, m_nLower, m_nUpper, results);
}
