#pragma once
// The information page of one catalog and its medium.

#include "dialogs/prop_info_page.h"

class CDriveProperty : public CPropInfoPage {
 public:
  CDriveProperty(CPropInfoSheet* pSheet, const CPropInfoData* pInfo);

  // Copies the record's fields into the members and the controls.
  void OnFirstShow() override;

 private:
  std::string m_strName;
  std::string m_strMachine;
  std::string m_strMedia;
  std::string m_strBasePath;
  std::string m_strCreated;
  std::string m_strSize;
  std::string m_strTotalSpace;
  std::string m_strFreeSpace;
};
