#include "dialogs/file_property.h"

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
  ShowNote(m_pInfo->m_strNote);
}
