#include "dialogs/export_dlg.h"

#include <wx/choice.h>

#include <iterator>

namespace {

const EListFormat kFormats[] = {EListFormat::Csv, EListFormat::Tsv, EListFormat::Efu, EListFormat::Jsonl};

wxChoice* FormatChoice(wxWindow* dialog) { return wxDynamicCast(dialog->FindWindow(CExportDlg::ID_FORMAT), wxChoice); }

}  // namespace

CExportDlg::CExportDlg(wxWindow* parent, const std::vector<std::string>& catalogNames)
    : CCatalogOutDlg(parent, "エクスポート", "ExportLayout", catalogNames) {}

bool CExportDlg::TransferDataToWindow() {
  if (!CCatalogOutDlg::TransferDataToWindow()) return false;
  FormatChoice(this)->SetSelection(0);
  return true;
}

bool CExportDlg::TransferDataFromWindow() {
  if (!CCatalogOutDlg::TransferDataFromWindow()) return false;
  const int chosen = FormatChoice(this)->GetSelection();
  m_eFormat = chosen >= 0 && chosen < int(std::size(kFormats)) ? kFormats[chosen] : EListFormat::Csv;
  return true;
}
