#include "document/browse_for_location.h"

#include <wx/app.h>
#include <wx/dirdlg.h>
#include <wx/filename.h>

#include "dialogs/message_box.h"
#include "document/doc_messages.h"
#include "platform/path_separator.h"

bool BrowseForLocation(const std::string& title, std::string& out, wxWindow* owner,
                       const std::string& initialSelection) {
  if (!owner && wxTheApp) owner = wxTheApp->GetTopWindow();
  for (;;) {
    wxDirDialog picker(owner, wxString::FromUTF8(title), wxString::FromUTF8(initialSelection),
                       wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    if (picker.ShowModal() != wxID_OK) return false;
    const wxString chosen = picker.GetPath();
    // The picker gives no path for places that are not on a local file
    // system (network places it reaches through the desktop's own layer).
    if (IsRootedPath(chosen.utf8_string()) && wxFileName::DirExists(chosen)) {
      out = chosen.utf8_string();
      return true;
    }
    AppMessageBox(kBadLocation, wxOK | wxICON_EXCLAMATION, owner);
  }
}
