#pragma once
// The information page of one folder (type 2) or of several selected items
// (type 4); the two differ only in the label of the size row.

#include "dialogs/prop_info_page.h"

class CFolderProperty : public CPropInfoPage {
 public:
  CFolderProperty(CPropInfoSheet* pSheet, const CPropInfoData* pInfo, int nType);

  // Copies the record's fields into the members and the controls.
  void OnFirstShow() override;

 private:
  int m_nType;
  std::string m_strName;
  std::string m_strPath;
  std::string m_strKind;
  std::string m_strSize;
  std::string m_strCreated;
  std::string m_strAttributes;
};
