#include "dialogs/search_page.h"

#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "dialogs/message_box.h"
#include "dialogs/search_fields.h"
#include "dialogs/search_sheet.h"

CSearchPage::CSearchPage(CSearchSheet* sheet, std::string startPath)
    : m_strStartPath(std::move(startPath)), m_pSearchSheet(sheet) {}

bool CSearchPage::CreateSearchPage(const char* xrcName, const std::string& caption) {
  return CreatePage(m_pSearchSheet, xrcName, caption);
}

CSearchSource& CSearchPage::GetSource() const { return m_pSearchSheet->GetSource(); }

int CSearchPage::RunSearch(CItemSummaryList&) { return 0; }

void CSearchPage::OnFirstShow() {
  if (auto* label = XRCCTRL(*this, "ID_START_LABEL", wxStaticText))
    label->SetLabel(wxString::FromUTF8(StartLabel(m_strStartPath)));
}

void CSearchPage::OnApply() {
  // Every page that was shown gets here; only the one on display searches.
  if (m_pSearchSheet->GetActivePage() == this) RunSearch(m_pSearchSheet->GetResults());
}

bool RefuseSearchField(wxTextCtrl* field, const std::string& message) {
  AppMessageBox(message, wxOK | wxICON_EXCLAMATION, field);
  field->SetFocus();
  field->SelectAll();
  return false;
}
