#pragma once
// The export's choices: the list format, whether csv and tsv are written in
// their form safe for spreadsheets, and the catalogs, all of them or those
// chosen in a list. Ends with wxID_OK or wxID_CANCEL.

#include "dialogs/catalog_out_dlg.h"
#include "model/list_export.h"

class CExportDlg : public CCatalogOutDlg {
 public:
  enum : int {
    ID_FORMAT = 1060,            // choice: csv, tsv, efu, jsonl in that order
    ID_SPREADSHEET_SAFE = 1061,  // check box, enabled for the formats that have that form
  };

  CExportDlg(wxWindow* parent, const std::vector<std::string>& catalogNames);

  // After OK: the format and form chosen.
  const CListStyle& GetStyle() const { return m_style; }

  bool TransferDataToWindow() override;
  bool TransferDataFromWindow() override;

 private:
  void OnFormatChanged(wxCommandEvent& event);
  void EnableSpreadsheetSafe();

  CListStyle m_style{EListFormat::Csv};
};
