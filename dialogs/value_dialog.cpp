#include "dialogs/value_dialog.h"

#include "dialogs/dialog_font.h"
#include "dialogs/xrc_layout.h"

CValueDialog::CValueDialog(wxWindow* parent, const std::string& caption, const char* layoutName) {
  Create(parent, wxID_ANY, wxString::FromUTF8(caption));
  ApplyDialogFont(this);
  if (!LoadDialogLayout(this, layoutName)) wxFAIL_MSG(wxString("no dialog layout ") + layoutName);
  Bind(wxEVT_BUTTON, &CValueDialog::OnOk, this, wxID_OK);
  // Escape and the close box press this button too.
  Bind(wxEVT_BUTTON, &CValueDialog::OnCancel, this, wxID_CANCEL);
}

void CValueDialog::EndWith(int code) {
  SetReturnCode(code);
  EndDialog(code);
}

void CValueDialog::OnOk(wxCommandEvent&) {
  if (Validate() && TransferDataFromWindow()) EndWith(wxID_OK);
}

void CValueDialog::OnCancel(wxCommandEvent&) { EndWith(m_nCancelCode); }
