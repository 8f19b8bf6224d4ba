#include "dialogs/drive_property.h"

#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "model/item_summary.h"

CDriveProperty::CDriveProperty(CPropInfoSheet* pSheet, const CPropInfoData* pInfo)
    : CPropInfoPage(pSheet, pInfo, "DrivePropertyLayout") {}

void CDriveProperty::OnFirstShow() {
  m_strName = m_pInfo->m_strName;
  m_strMachine = m_pInfo->m_strMachine;
  m_strMedia = m_pInfo->m_strMedia;
  m_strBasePath = m_pInfo->m_strBasePath;
  m_strCreated = m_pInfo->m_strCreated;
  m_strSize = m_pInfo->m_strSize;
  m_strTotalSpace = m_pInfo->m_strTotalSpace;
  m_strFreeSpace = m_pInfo->m_strFreeSpace;
  ShowValue("ID_NAME", m_strName);
  ShowValue("ID_MACHINE", m_strMachine);
  ShowValue("ID_MEDIA", m_strMedia);
  ShowValue("ID_BASE_PATH", m_strBasePath);
  ShowValue("ID_CREATED", m_strCreated);
  ShowValue("ID_SIZE", m_strSize);
  ShowValue("ID_TOTAL_SPACE", m_strTotalSpace);
  ShowValue("ID_FREE_SPACE", m_strFreeSpace);
  ShowNote(m_pInfo->m_strNote);
  if (auto* record = dynamic_cast<wxTextCtrl*>(FindWindow(XRCID("ID_RECORD"))))
    record->ChangeValue(wxString::FromUTF8(m_pInfo->m_strRecord));
}
