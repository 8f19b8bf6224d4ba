#include "dialogs/locate_file_dlg.h"

#include <wx/stattext.h>
#include <wx/utils.h>
#include <wx/xrc/xmlres.h>

#include "dialogs/file_filter.h"
#include "dialogs/open_file_dialog.h"
#include "dialogs/static_text_wrap.h"

CLocateFileDlg::CLocateFileDlg(wxWindow* parent, const std::string& message, const std::string& fileName)
    : CValueDialog(parent, "カタログ内のファイルを開く", "LocateFileLayout"),
      m_strMessage(message),
      m_strFileName(fileName) {
  m_nCancelCode = END_CANCEL;
  Bind(wxEVT_BUTTON, &CLocateFileDlg::OnSearchAgain, this, XRCID("ID_SEARCH_AGAIN"));
  Bind(wxEVT_BUTTON, &CLocateFileDlg::OnSpecifyPlace, this, XRCID("ID_SPECIFY_PLACE"));
}

bool CLocateFileDlg::TransferDataToWindow() {
  if (!wxDialog::TransferDataToWindow()) return false;
  SetWrappedText(XRCCTRL(*this, "ID_LOCATE_MESSAGE", wxStaticText), wxString::FromUTF8(m_strMessage));
  wxBell();
  return true;
}

void CLocateFileDlg::OnSearchAgain(wxCommandEvent&) { EndWith(END_SEARCH_AGAIN); }

void CLocateFileDlg::OnSpecifyPlace(wxCommandEvent&) {
  std::string path;
  if (!AskExistingFile(this, LocateFileWildcard(m_strFileName), m_strFileName, path)) return;
  m_strChosenPath = std::move(path);
  EndWith(END_PLACE_CHOSEN);
}
