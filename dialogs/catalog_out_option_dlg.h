#pragma once
// Which file columns the HTML report writes. Ends with wxID_OK, having
// written the six boxes back into the caller's record, or wxID_CANCEL,
// having changed nothing.

#include "dialogs/value_dialog.h"
#include "model/catalog_out_options.h"

class CCatalogOutOptionDlg : public CValueDialog {
 public:
  // The check boxes, one per column.
  enum : int {
    ID_NOTE = 1020,
    ID_MEMBERS = 1090,
    ID_KIND = 1022,
    ID_CREATE_TIME = 1052,
    ID_MODIFIED_TIME = 1053,
    ID_SIZE = 1054,
    ID_ATTRIBUTE = 1055,
  };

  // pOptions: the caller's record, read when the dialog opens and written on
  // OK; it must outlive the dialog.
  CCatalogOutOptionDlg(wxWindow* parent, CatalogOutOptions* pOptions);

  bool TransferDataToWindow() override;
  bool TransferDataFromWindow() override;

 private:
  CatalogOutOptions* m_pOptions;
};
