#include "dialogs/root_property.h"

#include "model/item_summary.h"

CRootProperty::CRootProperty(CPropInfoSheet* pSheet, const CPropInfoData* pInfo)
    : CPropInfoPage(pSheet, pInfo, "RootPropertyLayout") {}

void CRootProperty::OnFirstShow() {
  m_strName = m_pInfo->m_strName;
  m_strCreated = m_pInfo->m_strCreated;
  m_strCatalogCount = m_pInfo->m_strCatalogCount;
  ShowValue("ID_NAME", m_strName);
  ShowValue("ID_CREATED", m_strCreated);
  ShowValue("ID_CATALOG_COUNT", m_strCatalogCount);
  ShowNote(m_pInfo->m_strNote);
}
