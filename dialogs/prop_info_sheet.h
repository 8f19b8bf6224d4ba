#pragma once
// The information sheet: one page with the information of an item or of a
// multiple selection and its editable note. ShowModal ends with wxID_OK
// (GetNewNote then holds the whole note text, changed or not, and
// IsNoteEdited whether the user edited the box) or wxID_CANCEL (GetNewNote
// stays empty).

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
  // Only an edited box may change notes: the box of several items with
  // different notes starts empty, and that is no note to give them all.
  bool IsNoteEdited() const { return m_bNoteEdited; }
  CPropInfoPage* GetInfoPage() const { return m_pPage; }

 private:
  friend class CPropInfoPage;  // its apply step writes m_strNewNote

  void OnInitDialog(wxInitDialogEvent& event);

  CPropInfoPage* m_pPage = nullptr;  // owned by the book
  std::string m_strNewNote;
  bool m_bNoteEdited = false;
};
