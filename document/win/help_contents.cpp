// The manual opens in whatever the shell opens .htm files with.
#include "document/help_contents.h"

#include <wx/stdpaths.h>

#include "dialogs/message_box.h"
#include "document/doc_messages.h"
#include "platform/win/win_text.h"

#include <windows.h>
#include <shellapi.h>

std::string ManualPathFor(const std::string& programPath) {
  const std::size_t slash = programPath.find_last_of("\\/");
  if (slash == std::string::npos) return {};
  return programPath.substr(0, slash + 1) + "Manual\\index.htm";
}

void OpenHelpContents(wxWindow* parent) {
  const std::string manual = ManualPathFor(wxStandardPaths::Get().GetExecutablePath().utf8_string());
  if (manual.empty()) {
    AppMessageBox(kBrowserFailed, wxOK | wxICON_EXCLAMATION, parent);
    return;
  }
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", WidePath(manual).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (result == SE_ERR_NOASSOC || result == SE_ERR_ASSOCINCOMPLETE)
    AppMessageBox(kNoDefaultBrowser, wxOK | wxICON_EXCLAMATION, parent);
  else if (result <= 32)
    AppMessageBox(kBrowserFailed, wxOK | wxICON_EXCLAMATION, parent);
}
