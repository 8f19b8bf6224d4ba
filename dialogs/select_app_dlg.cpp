#include "dialogs/select_app_dlg.h"

#include <wx/combobox.h>
#include <wx/stattext.h>
#include <wx/xrc/xmlres.h>

#include "dialogs/dialog_rules.h"
#include "dialogs/file_filter.h"
#include "dialogs/message_box.h"
#include "dialogs/open_file_dialog.h"
#include "dialogs/static_text_wrap.h"

CSelectAppDlg::CSelectAppDlg(wxWindow* parent, const std::vector<std::string>* pApps)
    : CValueDialog(parent, "開くアプリケーションの指定", "SelectAppLayout"), m_pApps(pApps) {
  wxStaticText* text = XRCCTRL(*this, "ID_SELECT_APP_TEXT", wxStaticText);
  SetWrappedText(text, text->GetLabelText());
  Bind(wxEVT_BUTTON, &CSelectAppDlg::OnBrowse, this, XRCID("ID_BROWSE"));
}

bool CSelectAppDlg::TransferDataToWindow() {
  if (!wxDialog::TransferDataToWindow()) return false;
  wxComboBox* combo = XRCCTRL(*this, "ID_APPLICATION", wxComboBox);
  combo->Clear();
  if (m_pApps) {
    for (const std::string& app : *m_pApps) combo->Append(wxString::FromUTF8(app));
  }
  if (combo->GetCount() > 0) combo->SetSelection(0);
  return true;
}

bool CSelectAppDlg::TransferDataFromWindow() {
  if (!wxDialog::TransferDataFromWindow()) return false;
  std::string application = XRCCTRL(*this, "ID_APPLICATION", wxComboBox)->GetValue().utf8_string();
  if (application.empty()) {
    AppMessageBox("アプリケーションを指定してください", wxOK | wxICON_EXCLAMATION, this);
    return false;
  }
  m_strApplication = std::move(application);
  return true;
}

void CSelectAppDlg::OnBrowse(wxCommandEvent&) {
  std::string path;
  if (!AskExistingFile(this, AppBrowseWildcard(), std::string(), path)) return;
  wxComboBox* combo = XRCCTRL(*this, "ID_APPLICATION", wxComboBox);
  // Only the very same path: a remembered "/usr/bin/vim" is not the "/usr/bin/vi" just picked.
  const int entry = m_pApps ? FindAppEntry(*m_pApps, path) : -1;
  if (entry >= 0 && unsigned(entry) < combo->GetCount())
    combo->SetSelection(entry);
  else
    combo->SetValue(wxString::FromUTF8(path));
}
