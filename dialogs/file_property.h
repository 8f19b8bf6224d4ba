#pragma once
// The information page of one file.

#include "dialogs/prop_info_page.h"

class CFileProperty : public CPropInfoPage {
 public:
  CFileProperty(CPropInfoSheet* pSheet, const CPropInfoData* pInfo);

  // Copies the record's fields into the members and the controls.
  void OnFirstShow() override;

 private:
  // The hash, selectable, when the file has one.
  void ShowFingerprint(const std::string& fingerprint);

  std::string m_strName;
  std::string m_strPath;
  std::string m_strKind;
  std::string m_strSize;
  std::string m_strCreated;
  std::string m_strModified;
  std::string m_strAttributes;
};
