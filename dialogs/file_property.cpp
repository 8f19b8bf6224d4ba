#include "dialogs/file_property.h"

#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "model/item_summary.h"

CFileProperty::CFileProperty(CPropInfoSheet* pSheet, const CPropInfoData* pInfo)
    : CPropInfoPage(pSheet, pInfo, "FilePropertyLayout") {}

void CFileProperty::OnFirstShow() {
  m_strName = m_pInfo->m_strName;
  m_strPath = m_pInfo->m_strPath;
  m_strKind = m_pInfo->m_strKind;
  m_strSize = m_pInfo->m_strSize;
  m_strCreated = m_pInfo->m_strCreated;
  m_strModified = m_pInfo->m_strModified;
  m_strAttributes = m_pInfo->m_strAttributes;
  ShowValue("ID_NAME", m_strName);
  ShowValue("ID_PATH", m_strPath);
  ShowValue("ID_KIND", m_strKind);
  ShowValue("ID_SIZE", m_strSize);
  ShowValue("ID_CREATED", m_strCreated);
  ShowValue("ID_MODIFIED", m_strModified);
  ShowValue("ID_ATTRIBUTES", m_strAttributes);
  ShowFingerprint(m_pInfo->m_strFingerprint);
  ShowNote(m_pInfo->m_strNote);
}

void CFileProperty::ShowFingerprint(const std::string& fingerprint) {
  wxWindow* label = XRCCTRL(*this, "ID_FINGERPRINT_LABEL", wxStaticText);
  auto* field = XRCCTRL(*this, "ID_FINGERPRINT", wxTextCtrl);
  if (!label || !field) return;
  if (!fingerprint.empty()) {
    field->ChangeValue(wxString::FromUTF8(fingerprint));
    field->SetBackgroundColour(GetBackgroundColour());
    return;
  }
  // No hash: its row goes, and the note takes the room (a sizer gives it
  // by itself).
  label->Hide();
  field->Hide();
  if (GetSizer()) {
    Layout();
    return;
  }
  wxWindow* noteLabel = XRCCTRL(*this, "ID_NOTE_LABEL", wxStaticText);
  wxWindow* note = XRCCTRL(*this, "ID_NOTE", wxTextCtrl);
  if (!noteLabel || !note) return;
  const int shift = noteLabel->GetPosition().y - label->GetPosition().y;
  noteLabel->Move(noteLabel->GetPosition() - wxPoint(0, shift));
  note->SetSize(note->GetRect().x, note->GetRect().y - shift, note->GetRect().width, note->GetRect().height + shift);
}
