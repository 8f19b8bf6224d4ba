#include "dialogs/label_dlg.h"

#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "dialogs/dialog_rules.h"
#include "dialogs/message_box.h"

CLabelDlg::CLabelDlg(wxWindow* parent) : CValueDialog(parent, "カタログラベルの入力", "LabelDialogLayout") {}

bool CLabelDlg::TransferDataToWindow() {
  if (!wxDialog::TransferDataToWindow()) return false;
  XRCCTRL(*this, "ID_LABEL", wxTextCtrl)->ChangeValue(wxString::FromUTF8(m_strLabel));
  return true;
}

bool CLabelDlg::TransferDataFromWindow() {
  if (!wxDialog::TransferDataFromWindow()) return false;
  std::string label = XRCCTRL(*this, "ID_LABEL", wxTextCtrl)->GetValue().utf8_string();
  if (const char* refusal = LabelRefusal(label)) {
    AppMessageBox(refusal, wxOK | wxICON_EXCLAMATION, this);
    return false;
  }
  m_strLabel = std::move(label);
  return true;
}
