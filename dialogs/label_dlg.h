#pragma once
// Asks for the label of a new catalog, whether to take the hashes of its
// files' contents, and whether to list what its archives hold. Ends with wxID_OK (the label is then non-empty, as
// typed) or wxID_CANCEL.

#include <string>

#include "dialogs/value_dialog.h"

class CLabelDlg : public CValueDialog {
 public:
  // Starts with label, selected so that typing replaces it, and the check
  // boxes as hash and archives say.
  explicit CLabelDlg(wxWindow* parent, std::string label = std::string(), bool hash = false, bool archives = false);

  const std::string& GetCatalogLabel() const { return m_strLabel; }
  bool GetHashContents() const { return m_bHash; }
  bool GetListArchives() const { return m_bArchives; }

  bool TransferDataToWindow() override;
  // Refuses an empty label with a message; the dialog then stays open.
  bool TransferDataFromWindow() override;

 private:
  std::string m_strLabel;
  bool m_bHash;
  bool m_bArchives;
};
