#include "dialogs/export_dlg.h"

#include <wx/checkbox.h>
#include <wx/choice.h>

#include <iterator>

namespace {

const EListFormat kFormats[] = {EListFormat::Csv, EListFormat::Tsv, EListFormat::Efu, EListFormat::Jsonl};

wxChoice* FormatChoice(wxWindow* dialog) { return wxDynamicCast(dialog->FindWindow(CExportDlg::ID_FORMAT), wxChoice); }

wxCheckBox* SpreadsheetSafeBox(wxWindow* dialog) {
  return wxDynamicCast(dialog->FindWindow(CExportDlg::ID_SPREADSHEET_SAFE), wxCheckBox);
}

EListFormat ChosenFormat(wxWindow* dialog) {
  const int chosen = FormatChoice(dialog)->GetSelection();
  return chosen >= 0 && chosen < int(std::size(kFormats)) ? kFormats[chosen] : EListFormat::Csv;
}

}  // namespace

CExportDlg::CExportDlg(wxWindow* parent, const std::vector<std::string>& catalogNames)
    : CCatalogOutDlg(parent, "エクスポート", "ExportLayout", catalogNames) {
  Bind(wxEVT_CHOICE, &CExportDlg::OnFormatChanged, this, ID_FORMAT);
}

bool CExportDlg::TransferDataToWindow() {
  if (!CCatalogOutDlg::TransferDataToWindow()) return false;
  FormatChoice(this)->SetSelection(0);
  SpreadsheetSafeBox(this)->SetValue(false);
  EnableSpreadsheetSafe();
  return true;
}

bool CExportDlg::TransferDataFromWindow() {
  if (!CCatalogOutDlg::TransferDataFromWindow()) return false;
  m_style = CListStyle(ChosenFormat(this), SpreadsheetSafeBox(this)->GetValue());
  return true;
}

void CExportDlg::OnFormatChanged(wxCommandEvent&) { EnableSpreadsheetSafe(); }

void CExportDlg::EnableSpreadsheetSafe() {
  SpreadsheetSafeBox(this)->Enable(HasSpreadsheetSafeForm(ChosenFormat(this)));
}
