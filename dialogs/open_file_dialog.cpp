#include "dialogs/open_file_dialog.h"

#include <wx/filedlg.h>
#include <wx/filename.h>

bool AskExistingFile(wxWindow* parent, const std::string& wildcard, const std::string& initialName, std::string& path) {
  wxFileDialog dialog(parent, wxString::FromUTF8("開く"), wxString(), wxString::FromUTF8(initialName),
                      wxString::FromUTF8(wildcard), wxFD_OPEN | wxFD_FILE_MUST_EXIST);
  if (dialog.ShowModal() != wxID_OK) return false;

  // GTK reports the chosen file only once its folder has been read; until
  // then (a path set before the dialog ran) folder and name still tell it.
  wxString chosen = dialog.GetPath();
  if (chosen.empty() && !dialog.GetFilename().empty())
    chosen = wxFileName(dialog.GetDirectory(), dialog.GetFilename()).GetFullPath();
  if (chosen.empty()) return false;
  path = chosen.utf8_string();
  return true;
}
