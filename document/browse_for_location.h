#pragma once
// The drive-or-folder picker used to choose what to catalogue.

#include <string>

class wxWindow;

// Shows the folder picker with title (UTF-8) until the user picks a local
// folder (out = its path, returns true) or cancels (false, out unchanged). A
// choice that is not a local folder is refused with a message and the picker
// comes back. owner null: the application's main window. initialSelection,
// when not empty, is the folder the picker starts in. Mounted removable
// volumes are offered as shortcuts.
bool BrowseForLocation(const std::string& title, std::string& out, wxWindow* owner = nullptr,
                       const std::string& initialSelection = std::string());

// Where the picker starts: /media/USER or /run/media/USER (below root,
// which tests replace) when present, where the desktop mounts removable
// media, else home.
std::string PickerStartFolder(const std::string& user, const std::string& home, const std::string& root = "");
// The same for the user running the program.
std::string PickerStartFolder();

// Where the picker starts for a medium last seen at oldPath: the nearest
// folder on the way up from oldPath that still exists, below the root (the
// medium's own folder when it is there); else PickerStartFolder().
std::string NearestExistingFolder(const std::string& oldPath);
