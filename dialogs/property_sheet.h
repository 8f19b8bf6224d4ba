#pragma once
// A modal property sheet with OK and Cancel only, and pages laid out from XRC.
//
// The sheet follows the usual property-sheet rules: leaving a page (another
// tab or OK) first lets the page read its controls back and refuse; OK then
// gives every page that has been shown its apply step and closes the sheet.

#include <string>
#include <vector>

#include <wx/bookctrl.h>
#include <wx/panel.h>
#include <wx/propdlg.h>

class CPropertySheet;

class CPropertyPage : public wxPanel {
 public:
  CPropertyPage() = default;

  // Creates this page from the XRC panel xrcName in sheet's book and adds it
  // with the tab text caption (UTF-8). The XRC size (dialog units) is the
  // page's minimum size.
  bool CreatePage(CPropertySheet* sheet, const char* xrcName, const std::string& caption);

  // Just before the page is shown for the first time.
  virtual void OnFirstShow() {}
  // Reads the controls back into the members. On bad input it tells the user,
  // puts the focus on the field and returns false: the page stays on display.
  virtual bool ReadControls() { return true; }
  // OK was pressed and the visible page read its controls; called for every
  // page that has been shown.
  virtual void OnApply() {}

  bool HasBeenShown() const { return m_bShown; }
  CPropertySheet* GetSheet() const { return m_pSheet; }

 private:
  friend class CPropertySheet;
  CPropertySheet* m_pSheet = nullptr;
  bool m_bShown = false;
};

class CPropertySheet : public wxPropertySheetDialog {
 public:
  // caption is UTF-8. The sheet carries the dialog font from the start.
  CPropertySheet(wxWindow* parent, const std::string& caption, long style = wxDEFAULT_DIALOG_STYLE);

  // Adds the OK and Cancel buttons, sizes the sheet to its pages and shows
  // the first page. Call once, after every page was created.
  void FinishLayout();

  CPropertyPage* GetActivePage() const;
  CPropertyPage* GetPage(size_t index) const;
  size_t GetPageCount() const { return m_vecPages.size(); }
  // Shows the page at index as the user's tab click does (the visible page
  // may refuse); false when it did not change.
  bool SelectPage(size_t index);

 private:
  friend class CPropertyPage;
  void AddPage(CPropertyPage* page, const std::string& caption);
  void MarkShown(CPropertyPage* page);
  void OnOk(wxCommandEvent& event);
  void OnCancel(wxCommandEvent& event);
  void OnPageChanging(wxBookCtrlEvent& event);
  void OnPageChanged(wxBookCtrlEvent& event);
  void EndSheet(int code);

  std::vector<CPropertyPage*> m_vecPages;  // owned by the book
};
