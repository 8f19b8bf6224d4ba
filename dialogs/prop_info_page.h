#pragma once
// What the four pages of the information sheet share: the record they show,
// the note box ID_NOTE (every page has one, under "ノート："), and the OK
// step that hands the note back to the sheet.

#include <string>

#include "dialogs/property_sheet.h"

struct CPropInfoData;
class CPropInfoSheet;

class CPropInfoPage : public CPropertyPage {
 public:
  static const char kCaption[];  // the tab: "情報"

  CPropInfoPage(CPropInfoSheet* pSheet, const CPropInfoData* pInfo, const char* layoutName);

  const char* GetLayoutName() const { return m_pszLayoutName; }
  // Whether the note box has been edited since the page was filled.
  bool IsNoteChanged() const { return m_bNoteChanged; }

  // Reads the note box, whole, changed or not.
  bool ReadControls() override;
  // Hands the note read, and whether the box was edited, to the sheet.
  void OnApply() override;

 protected:
  // Puts text into the value control name, as it is (no mnemonics), names
  // and paths in their shown form (DisplayName).
  void ShowValue(const char* name, const std::string& text);
  // Puts note into the note box without counting it as an edit.
  void ShowNote(const std::string& note);

  CPropInfoSheet* m_pInfoSheet;
  const CPropInfoData* m_pInfo;
  std::string m_strNote;

 private:
  void OnNoteChanged(wxCommandEvent& event);

  const char* m_pszLayoutName;
  std::string m_strReadNote;
  bool m_bNoteChanged = false;
};
