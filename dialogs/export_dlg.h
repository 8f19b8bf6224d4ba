#pragma once
// The export's choices: the list format and the catalogs, all of them or
// those chosen in a list. Ends with wxID_OK or wxID_CANCEL.

#include "dialogs/catalog_out_dlg.h"
#include "model/list_format.h"

class CExportDlg : public CCatalogOutDlg {
 public:
  enum : int { ID_FORMAT = 1060 };  // choice: csv, tsv, efu, jsonl in that order

  CExportDlg(wxWindow* parent, const std::vector<std::string>& catalogNames);

  // After OK: the format chosen.
  EListFormat GetFormat() const { return m_eFormat; }

  bool TransferDataToWindow() override;
  bool TransferDataFromWindow() override;

 private:
  EListFormat m_eFormat = EListFormat::Csv;
};
