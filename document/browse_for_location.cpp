#include "document/browse_for_location.h"

#include <wx/app.h>
#include <wx/dirdlg.h>
#include <wx/filename.h>

#include "dialogs/message_box.h"
#include "document/doc_messages.h"
#include "platform/media_type.h"
#include "platform/path_separator.h"

#include <sys/stat.h>
#ifdef __WXGTK__
#include <dlfcn.h>
#include <pwd.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

bool IsFolder(const std::string& path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// The native picker takes shortcut folders; wxDirDialog has no call for it,
// so the toolkit's own function is looked up in the running process (and
// simply left out where the picker is not GTK's).
void AddShortcuts([[maybe_unused]] wxDirDialog& picker) {
#ifdef __WXGTK__
  using CAddShortcut = int (*)(void* chooser, const char* folder, void** error);
  static const auto add = reinterpret_cast<CAddShortcut>(dlsym(RTLD_DEFAULT, "gtk_file_chooser_add_shortcut_folder"));
  void* chooser = picker.GetHandle();
  if (add == nullptr || chooser == nullptr) return;
  for (const std::string& folder : RemovableMountPoints()) add(chooser, folder.c_str(), nullptr);
#endif
}

}  // namespace

std::string PickerStartFolder(const std::string& user, const std::string& home, const std::string& root) {
  if (!user.empty()) {
    for (const char* media : {"/media/", "/run/media/"})
      if (IsFolder(root + media + user)) return root + media + user;
  }
  return home;
}

std::string PickerStartFolder() {
#ifndef __WXGTK__
  // Elsewhere the system's picker starts where the drives are shown.
  return {};
#else
  const struct passwd* account = getpwuid(getuid());
  const char* home = std::getenv("HOME");
  return PickerStartFolder(account != nullptr ? account->pw_name : "",
                           home != nullptr ? home : (account != nullptr ? account->pw_dir : ""));
#endif
}

std::string NearestExistingFolder(const std::string& oldPath) {
  const std::size_t root = RootLength(oldPath);
  std::string path = oldPath;
  while (root > 0 && path.size() > root) {
    if (wxFileName::DirExists(wxString::FromUTF8(path))) return path;
    const std::size_t separator = path.find_last_of(kPathSeparators);
    if (separator == std::string::npos || separator < root) break;
    path.erase(std::max(separator, root));
    // "a//b" has an empty name between its separators.
    while (path.size() > root && std::strchr(kPathSeparators, path.back())) path.pop_back();
  }
  return PickerStartFolder();
}

bool BrowseForLocation(const std::string& title, std::string& out, wxWindow* owner,
                       const std::string& initialSelection) {
  if (!owner && wxTheApp) owner = wxTheApp->GetTopWindow();
  for (;;) {
    wxDirDialog picker(owner, wxString::FromUTF8(title), wxString::FromUTF8(initialSelection),
                       wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    AddShortcuts(picker);
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
