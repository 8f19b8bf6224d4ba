#include "dialogs/property_sheet.h"

#include <wx/button.h>
#include <wx/sizer.h>

#include "dialogs/dialog_font.h"
#include "dialogs/xrc_layout.h"

namespace {
// The sheet's own buttons, as the dialog templates spell them.
const char kOkLabel[] = "OK";
const char kCancelLabel[] = "ｷｬﾝｾﾙ";
// A tab's width beyond its text: the theme's padding and borders.
constexpr int kTabPadding = 40;
}  // namespace

bool CPropertyPage::CreatePage(CPropertySheet* sheet, const char* xrcName, const std::string& caption) {
  if (!LoadPanelLayout(this, sheet->GetBookCtrl(), xrcName)) {
    wxFAIL_MSG(wxString("no page layout ") + xrcName);
    return false;
  }
  // A page laid out by sizers needs what they need; one of fixed places its
  // XRC size.
  SetMinSize(GetSizer() ? GetSizer()->GetMinSize() : GetSize());
  sheet->AddPage(this, caption);
  return true;
}

CPropertySheet::CPropertySheet(wxWindow* parent, const std::string& caption, long style) {
  Create(parent, wxID_ANY, wxString::FromUTF8(caption), wxDefaultPosition, wxDefaultSize, style);
  // The pages measure their dialog units in the sheet's font and draw in the
  // book's, so both get it before any page exists.
  ApplyDialogFont(this);
  ApplyDialogFont(GetBookCtrl());
  Bind(wxEVT_BUTTON, &CPropertySheet::OnOk, this, wxID_OK);
  Bind(wxEVT_BUTTON, &CPropertySheet::OnCancel, this, wxID_CANCEL);
  GetBookCtrl()->Bind(wxEVT_BOOKCTRL_PAGE_CHANGING, &CPropertySheet::OnPageChanging, this);
  GetBookCtrl()->Bind(wxEVT_BOOKCTRL_PAGE_CHANGED, &CPropertySheet::OnPageChanged, this);
}

void CPropertySheet::AddPage(CPropertyPage* page, const std::string& caption) {
  page->m_pSheet = this;
  m_vecPages.push_back(page);
  GetBookCtrl()->AddPage(page, wxString::FromUTF8(caption), false);
}

void CPropertySheet::FinishLayout() {
  CreateButtons(wxOK | wxCANCEL);
  if (wxWindow* ok = FindWindow(wxID_OK)) ok->SetLabel(wxString::FromUTF8(kOkLabel));
  if (wxWindow* cancel = FindWindow(wxID_CANCEL)) cancel->SetLabel(wxString::FromUTF8(kCancelLabel));
  // Every tab should be visible at once, as on a sheet whose tabs wrap;
  // GTK would otherwise hide some behind scroll arrows.
  wxBookCtrlBase* book = GetBookCtrl();
  int tabsWidth = 0;
  for (size_t i = 0; i < book->GetPageCount(); ++i)
    tabsWidth += book->GetTextExtent(book->GetPageText(i)).x + kTabPadding;
  if (tabsWidth > book->GetBestSize().x) book->SetMinSize(wxSize(tabsWidth, -1));
  LayoutDialog();
  if (!m_vecPages.empty()) {
    GetBookCtrl()->ChangeSelection(0);
    MarkShown(m_vecPages.front());
  }
}

CPropertyPage* CPropertySheet::GetActivePage() const {
  const int selection = GetBookCtrl()->GetSelection();
  return selection == wxNOT_FOUND ? nullptr : GetPage(size_t(selection));
}

CPropertyPage* CPropertySheet::GetPage(size_t index) const {
  return index < m_vecPages.size() ? m_vecPages[index] : nullptr;
}

bool CPropertySheet::SelectPage(size_t index) {
  if (index >= m_vecPages.size()) return false;
  CPropertyPage* current = GetActivePage();
  if (current == m_vecPages[index]) return true;
  // wxGTK only undoes a vetoed change that came from a click, so the check
  // runs here before the book is told anything.
  if (current && !current->ReadControls()) return false;
  GetBookCtrl()->ChangeSelection(index);
  MarkShown(m_vecPages[index]);
  return true;
}

void CPropertySheet::MarkShown(CPropertyPage* page) {
  if (!page || page->m_bShown) return;
  page->m_bShown = true;
  page->OnFirstShow();
}

void CPropertySheet::OnPageChanging(wxBookCtrlEvent& event) {
  if (event.GetEventObject() != GetBookCtrl()) return event.Skip();
  CPropertyPage* current = GetActivePage();
  if (current && !current->ReadControls()) event.Veto();
}

void CPropertySheet::OnPageChanged(wxBookCtrlEvent& event) {
  if (event.GetEventObject() != GetBookCtrl()) return event.Skip();
  MarkShown(GetActivePage());
}

void CPropertySheet::OnOk(wxCommandEvent&) {
  CPropertyPage* current = GetActivePage();
  if (current && !current->ReadControls()) return;
  for (CPropertyPage* page : m_vecPages)
    if (page->HasBeenShown()) page->OnApply();
  EndSheet(wxID_OK);
}

void CPropertySheet::OnCancel(wxCommandEvent&) { EndSheet(wxID_CANCEL); }

void CPropertySheet::EndSheet(int code) {
  // Also closes a sheet shown modeless (as the tests do) with its code.
  SetReturnCode(code);
  EndDialog(code);
}
