#pragma once
// The about box: the program's icon, its name with the version, and OK.

#include <string>

#include <wx/dialog.h>

class CAboutDlg : public wxDialog {
 public:
  // version as MakeVersionText takes it; empty when the program has none.
  CAboutDlg(wxWindow* parent, const std::string& version);

  bool TransferDataToWindow() override;

 private:
  std::string m_strVersion;
};
