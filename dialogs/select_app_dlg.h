#pragma once
// Asks which application should open a file that has none associated. Ends
// with wxID_OK (GetApplication is then non-empty) or wxID_CANCEL.

#include <string>
#include <vector>

#include "dialogs/value_dialog.h"

class CSelectAppDlg : public CValueDialog {
 public:
  // apps: the remembered applications, most recent first; the caller's, only
  // read, and must outlive the dialog.
  CSelectAppDlg(wxWindow* parent, const std::vector<std::string>* pApps);

  const std::string& GetApplication() const { return m_strApplication; }

  // Lists the remembered applications and preselects the first.
  bool TransferDataToWindow() override;
  // Refuses an empty text with a message; the dialog then stays open.
  bool TransferDataFromWindow() override;

 private:
  void OnBrowse(wxCommandEvent& event);

  const std::vector<std::string>* m_pApps;
  std::string m_strApplication;
};
