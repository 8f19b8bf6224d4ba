#pragma once
// The base of the small dialogs that ask for one value: the layout in the
// dialog font, OK that reads the controls (TransferDataFromWindow may refuse
// and keep the dialog open) and Cancel, each ending with its code.

#include <string>

#include <wx/dialog.h>

class CValueDialog : public wxDialog {
 protected:
  // Creates the window with caption (UTF-8) and loads the XRC layout.
  CValueDialog(wxWindow* parent, const std::string& caption, const char* layoutName);

  // Ends the dialog with code, also when it is shown modeless (as in the
  // tests), where wxDialog would only hide it.
  void EndWith(int code);

  // What Cancel, Escape and the close box end the dialog with.
  int m_nCancelCode = wxID_CANCEL;

 private:
  void OnOk(wxCommandEvent& event);
  void OnCancel(wxCommandEvent& event);
};
