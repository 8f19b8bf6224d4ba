#include "dialogs/catalog_out_option_dlg.h"

#include <wx/checkbox.h>

#include <cstdint>

namespace {

struct CColumnBox {
  int m_nId;
  std::int32_t CatalogOutOptions::*m_pField;
};

const CColumnBox kColumnBoxes[] = {
    {CCatalogOutOptionDlg::ID_KIND, &CatalogOutOptions::kind},
    {CCatalogOutOptionDlg::ID_SIZE, &CatalogOutOptions::size},
    {CCatalogOutOptionDlg::ID_CREATE_TIME, &CatalogOutOptions::createTime},
    {CCatalogOutOptionDlg::ID_MODIFIED_TIME, &CatalogOutOptions::modifiedTime},
    {CCatalogOutOptionDlg::ID_ATTRIBUTE, &CatalogOutOptions::attribute},
    {CCatalogOutOptionDlg::ID_NOTE, &CatalogOutOptions::note},
    {CCatalogOutOptionDlg::ID_MEMBERS, &CatalogOutOptions::members},
};

}  // namespace

CCatalogOutOptionDlg::CCatalogOutOptionDlg(wxWindow* parent, CatalogOutOptions* pOptions)
    : CValueDialog(parent, "カタログ出力オプション", "CatalogOutOptionLayout"), m_pOptions(pOptions) {}

bool CCatalogOutOptionDlg::TransferDataToWindow() {
  if (!wxDialog::TransferDataToWindow()) return false;
  for (const CColumnBox& box : kColumnBoxes) {
    if (auto* check = wxDynamicCast(FindWindow(box.m_nId), wxCheckBox))
      check->SetValue(m_pOptions && m_pOptions->*box.m_pField != 0);
  }
  return true;
}

bool CCatalogOutOptionDlg::TransferDataFromWindow() {
  if (!wxDialog::TransferDataFromWindow()) return false;
  if (!m_pOptions) return true;
  for (const CColumnBox& box : kColumnBoxes) {
    if (auto* check = wxDynamicCast(FindWindow(box.m_nId), wxCheckBox))
      m_pOptions->*box.m_pField = check->GetValue() ? 1 : 0;
  }
  return true;
}
