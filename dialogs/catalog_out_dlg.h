#pragma once
// Which catalogs the HTML report writes: all of them, or those chosen in a
// list; the details button changes the dialog's copy of the column options.
// Ends with wxID_OK or wxID_CANCEL.

#include <string>
#include <vector>

#include "dialogs/value_dialog.h"
#include "model/catalog_out_options.h"

class CCatalogOutOptionDlg;

class CCatalogOutDlg : public CValueDialog {
 public:
  enum : int {
    ID_ALL_CATALOGS = 1047,     // radio: every catalog
    ID_CHOSEN_CATALOGS = 1048,  // radio: those selected in the list
    ID_CATALOG_LIST = 1049,     // sorted, several selectable
    ID_DETAILS = 1050,          // the column options
  };

  // catalogNames: the set's catalogs in stored order; options: the columns
  // the dialog starts from (its own copy).
  CCatalogOutDlg(wxWindow* parent, const std::vector<std::string>& catalogNames, const CatalogOutOptions& options);

  // After OK: whether every catalog is to be written, else the chosen names
  // in list order (possibly none).
  bool IsAllCatalogs() const { return m_bAllCatalogs; }
  const std::vector<std::string>& GetChosenCatalogs() const { return m_vecChosen; }
  // The column options, as the details button left them.
  const CatalogOutOptions& GetOptions() const { return m_options; }

  // Lists the catalogs, chooses "all" and disables the list.
  bool TransferDataToWindow() override;
  bool TransferDataFromWindow() override;

 protected:
  // The same choice of catalogs in another layout holding the controls above
  // (the export's).
  CCatalogOutDlg(wxWindow* parent, const std::string& caption, const char* layoutName,
                 const std::vector<std::string>& catalogNames);

 private:
  void OnChoiceChanged(wxCommandEvent& event);
  void OnDetails(wxCommandEvent& event);
  void EnableList();

  std::vector<std::string> m_vecCatalogNames;
  CatalogOutOptions m_options;
  bool m_bAllCatalogs = true;
  std::vector<std::string> m_vecChosen;
};
