#pragma once
// The information sheet: one page with the information of an item or of a
// multiple selection and its editable note. ShowModal ends with wxID_OK
// (GetNewNote then holds the whole note text, changed or not) or
// wxID_CANCEL (GetNewNote stays empty).

#include <string>

#include "dialogs/property_sheet.h"

struct CPropInfoData;
class CPropInfoPage;

class CPropInfoSheet : public CPropertySheet {
 public:
  // Chooses the page by pInfo->m_nType. The record belongs to the caller, is
  // only read, and must outlive the sheet.
  CPropInfoSheet(const std::string& caption, const CPropInfoData* pInfo, wxWindow* parent = nullptr);

  const std::string& GetNewNote() const { return m_strNewNote; }
  CPropInfoPage* GetInfoPage() const { return m_pPage; }

 private:
  friend class CPropInfoPage;  // its apply step writes m_strNewNote

  void OnInitDialog(wxInitDialogEvent& event);

  CPropInfoPage* m_pPage = nullptr;  // owned by the book
  std::string m_strNewNote;
};
