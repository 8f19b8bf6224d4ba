#pragma once
// The drive-or-folder picker used to choose what to catalogue.

#include <string>

class wxWindow;

// Shows the folder picker with title (UTF-8) until the user picks a local
// folder (out = its path, returns true) or cancels (false, out unchanged). A
// choice that is not a local folder is refused with a message and the picker
// comes back. owner null: the application's main window. initialSelection,
// when not empty, is the folder the picker starts in.
bool BrowseForLocation(const std::string& title, std::string& out, wxWindow* owner = nullptr,
                       const std::string& initialSelection = std::string());
