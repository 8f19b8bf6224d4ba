#pragma once
// The file-open dialog of the locate and application dialogs.

#include <string>

class wxWindow;

// Asks for an existing file in an existing folder; wildcard is in wx form.
// True with path (UTF-8, full) when the user picked one, false on cancel.
bool AskExistingFile(wxWindow* parent, const std::string& wildcard, const std::string& initialName, std::string& path);
