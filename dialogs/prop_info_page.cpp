#include "dialogs/prop_info_page.h"

#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "dialogs/note_text.h"
#include "dialogs/prop_info_sheet.h"
#include "model/text_format.h"

const char CPropInfoPage::kCaption[] = "情報";

CPropInfoPage::CPropInfoPage(CPropInfoSheet* pSheet, const CPropInfoData* pInfo, const char* layoutName)
    : m_pInfoSheet(pSheet), m_pInfo(pInfo), m_pszLayoutName(layoutName) {
  Bind(wxEVT_TEXT, &CPropInfoPage::OnNoteChanged, this, XRCID("ID_NOTE"));
}

bool CPropInfoPage::ReadControls() {
  m_strReadNote = EditTextToNote(XRCCTRL(*this, "ID_NOTE", wxTextCtrl)->GetValue().utf8_string(), m_strNote);
  return true;
}

void CPropInfoPage::OnApply() {
  m_pInfoSheet->m_strNewNote = m_strReadNote;
  m_pInfoSheet->m_bNoteEdited = m_bNoteChanged;
}

void CPropInfoPage::ShowValue(const char* name, const std::string& text) {
  const wxString shown = wxString::FromUTF8(DisplayName(text));
  wxWindow* control = FindWindow(XRCID(name));
  if (auto* field = dynamic_cast<wxTextCtrl*>(control)) {
    // A field the user can select and copy from, drawn as part of the page;
    // the tooltip shows the whole value however narrow the field is.
    field->SetBackgroundColour(GetBackgroundColour());
    field->ChangeValue(shown);
    field->SetToolTip(shown);
  } else if (auto* label = dynamic_cast<wxStaticText*>(control)) {
    label->SetLabelText(shown);
  }
}

void CPropInfoPage::ShowNote(const std::string& note) {
  m_strNote = note;
  XRCCTRL(*this, "ID_NOTE", wxTextCtrl)->ChangeValue(wxString::FromUTF8(NoteToEditText(note)));
  m_bNoteChanged = false;
}

void CPropInfoPage::OnNoteChanged(wxCommandEvent& event) {
  m_bNoteChanged = true;
  event.Skip();
}
