#pragma once
// The information page of the catalog set.

#include "dialogs/prop_info_page.h"

class CRootProperty : public CPropInfoPage {
 public:
  CRootProperty(CPropInfoSheet* pSheet, const CPropInfoData* pInfo);

  // Copies the record's fields into the members and the controls.
  void OnFirstShow() override;

 private:
  std::string m_strName;
  std::string m_strCreated;
  std::string m_strCatalogCount;
};
