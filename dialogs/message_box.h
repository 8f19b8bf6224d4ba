#pragma once
// Message boxes of the program: always titled with its name.

#include <string>

#include <wx/defs.h>

class wxWindow;

extern const char kAppName[];  // "Quarrix"

// text as the message box shows it: stray bytes replaced, and long lines
// broken at blanks, "。", "、" or path separators.
std::string MessageBoxText(const std::string& text);

// Shows text (UTF-8) in a modal message box captioned "Quarrix"; style as for
// wxMessageBox (wxOK, wxOK | wxCANCEL, wxICON_...). Returns wxOK, wxCANCEL,
// wxYES or wxNO.
int AppMessageBox(const std::string& text, long style = wxOK | wxICON_EXCLAMATION, wxWindow* parent = nullptr);
