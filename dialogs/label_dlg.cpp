#include "dialogs/label_dlg.h"

#include <wx/checkbox.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "dialogs/dialog_rules.h"
#include "dialogs/message_box.h"

CLabelDlg::CLabelDlg(wxWindow* parent, std::string label, bool hash, bool archives)
    : CValueDialog(parent, "カタログラベルの入力", "LabelDialogLayout"),
      m_strLabel(std::move(label)),
      m_bHash(hash),
      m_bArchives(archives) {}

bool CLabelDlg::TransferDataToWindow() {
  if (!wxDialog::TransferDataToWindow()) return false;
  wxTextCtrl* edit = XRCCTRL(*this, "ID_LABEL", wxTextCtrl);
  edit->ChangeValue(wxString::FromUTF8(m_strLabel));
  XRCCTRL(*this, "ID_HASH", wxCheckBox)->SetValue(m_bHash);
  XRCCTRL(*this, "ID_ARCHIVES", wxCheckBox)->SetValue(m_bArchives);
  edit->SetFocus();
  edit->SelectAll();
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
  m_bHash = XRCCTRL(*this, "ID_HASH", wxCheckBox)->GetValue();
  m_bArchives = XRCCTRL(*this, "ID_ARCHIVES", wxCheckBox)->GetValue();
  return true;
}
