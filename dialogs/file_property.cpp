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
  // No hash: its row goes, and the layout gives the room to the note.
  label->Hide();
  field->Hide();
  Layout();
}
