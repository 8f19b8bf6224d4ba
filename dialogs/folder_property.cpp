#include "dialogs/folder_property.h"

#include "dialogs/dialog_rules.h"
#include "model/item_summary.h"

CFolderProperty::CFolderProperty(CPropInfoSheet* pSheet, const CPropInfoData* pInfo, int nType)
    : CPropInfoPage(pSheet, pInfo, "FolderPropertyLayout"), m_nType(nType) {}

void CFolderProperty::OnFirstShow() {
  m_strName = m_pInfo->m_strName;
  m_strPath = m_pInfo->m_strPath;
  m_strKind = m_pInfo->m_strKind;
  m_strSize = m_pInfo->m_strSize;
  m_strCreated = m_pInfo->m_strCreated;
  m_strAttributes = m_pInfo->m_strAttributes;
  ShowValue("ID_NAME", m_strName);
  ShowValue("ID_PATH", m_strPath);
  ShowValue("ID_KIND", m_strKind);
  ShowValue("ID_SIZE_LABEL", FolderSizeLabel(m_nType));
  ShowValue("ID_SIZE", m_strSize);
  ShowValue("ID_CREATED", m_strCreated);
  ShowValue("ID_ATTRIBUTES", m_strAttributes);
  ShowNote(m_pInfo->m_strNote);
}
