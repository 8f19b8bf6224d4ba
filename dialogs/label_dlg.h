#pragma once
// Asks for the label of a new catalog. Ends with wxID_OK (the label is then
// non-empty, as typed) or wxID_CANCEL.

#include <string>

#include "dialogs/value_dialog.h"

class CLabelDlg : public CValueDialog {
 public:
  // Starts with label, selected so that typing replaces it.
  explicit CLabelDlg(wxWindow* parent, std::string label = std::string());

  const std::string& GetCatalogLabel() const { return m_strLabel; }

  bool TransferDataToWindow() override;
  // Refuses an empty label with a message; the dialog then stays open.
  bool TransferDataFromWindow() override;

 private:
  std::string m_strLabel;
};
