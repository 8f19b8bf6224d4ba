#pragma once
// File paths between the system's bytes and wx text. A path that is not
// valid UTF-8 keeps each stray byte as a private-use character, so it comes
// back to exactly the bytes it was made from.

#include <string>

#include <wx/string.h>

wxString WxFromPath(const std::string& path);
std::string PathFromWx(const wxString& path);
// path for the user's eyes: each stray byte shows as U+FFFD.
wxString PathForDisplay(const wxString& path);
