#include "document/about_dlg.h"

#include <wx/artprov.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/xrc/xmlres.h>

#include "dialogs/dialog_font.h"
#include "dialogs/xrc_layout.h"
#include "document/app_icon.h"
#include "document/version_text.h"

CAboutDlg::CAboutDlg(wxWindow* parent, const std::string& version) : m_strVersion(version) {
  Create(parent, wxID_ANY, wxString::FromUTF8("クオリクスのﾊﾞｰｼﾞｮﾝ情報"));
  ApplyDialogFont(this);
  LoadDialogLayout(this, "AboutLayout");
  if (auto* icon = XRCCTRL(*this, "ID_APP_ICON", wxStaticBitmap)) icon->SetBitmap(GetAppIcon());
}

bool CAboutDlg::TransferDataToWindow() {
  if (!wxDialog::TransferDataToWindow()) return false;
  if (auto* line = XRCCTRL(*this, "ID_VERSION_TEXT", wxStaticText))
    line->SetLabel(wxString::FromUTF8("クオリクス Version " + MakeVersionText(m_strVersion)));
  return true;
}
