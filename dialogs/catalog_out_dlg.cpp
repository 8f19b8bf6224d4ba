#include "dialogs/catalog_out_dlg.h"

#include <wx/listbox.h>
#include <wx/radiobut.h>

#include "dialogs/catalog_out_option_dlg.h"

namespace {

wxRadioButton* AllCatalogsButton(wxWindow* dialog) {
  return wxDynamicCast(dialog->FindWindow(CCatalogOutDlg::ID_ALL_CATALOGS), wxRadioButton);
}

wxListBox* CatalogList(wxWindow* dialog) {
  return wxDynamicCast(dialog->FindWindow(CCatalogOutDlg::ID_CATALOG_LIST), wxListBox);
}

}  // namespace

CCatalogOutDlg::CCatalogOutDlg(wxWindow* parent, const std::vector<std::string>& catalogNames,
                               const CatalogOutOptions& options)
    : CCatalogOutDlg(parent, "カタログ情報の出力", "CatalogOutLayout", catalogNames) {
  m_options = options;
  Bind(wxEVT_BUTTON, &CCatalogOutDlg::OnDetails, this, ID_DETAILS);
}

CCatalogOutDlg::CCatalogOutDlg(wxWindow* parent, const std::string& caption, const char* layoutName,
                               const std::vector<std::string>& catalogNames)
    : CValueDialog(parent, caption, layoutName), m_vecCatalogNames(catalogNames) {
  Bind(wxEVT_RADIOBUTTON, &CCatalogOutDlg::OnChoiceChanged, this, ID_ALL_CATALOGS);
  Bind(wxEVT_RADIOBUTTON, &CCatalogOutDlg::OnChoiceChanged, this, ID_CHOSEN_CATALOGS);
}

bool CCatalogOutDlg::TransferDataToWindow() {
  if (!wxDialog::TransferDataToWindow()) return false;
  wxListBox* list = CatalogList(this);
  list->Clear();
  for (const std::string& name : m_vecCatalogNames) list->Append(wxString::FromUTF8(name));
  AllCatalogsButton(this)->SetValue(true);
  EnableList();
  return true;
}

bool CCatalogOutDlg::TransferDataFromWindow() {
  if (!wxDialog::TransferDataFromWindow()) return false;
  m_vecChosen.clear();
  m_bAllCatalogs = AllCatalogsButton(this)->GetValue();
  if (!m_bAllCatalogs) {
    const wxListBox* list = CatalogList(this);
    for (unsigned i = 0; i < list->GetCount(); ++i)
      if (list->IsSelected(int(i))) m_vecChosen.push_back(list->GetString(i).utf8_string());
  }
  return true;
}

void CCatalogOutDlg::OnChoiceChanged(wxCommandEvent&) { EnableList(); }

void CCatalogOutDlg::OnDetails(wxCommandEvent&) {
  CCatalogOutOptionDlg dialog(this, &m_options);
  dialog.ShowModal();
}

void CCatalogOutDlg::EnableList() { CatalogList(this)->Enable(!AllCatalogsButton(this)->GetValue()); }
