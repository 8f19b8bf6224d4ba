#include "dialogs/message_box.h"

#include <wx/msgdlg.h>

#include "platform/cp932_codec.h"

const char kAppName[] = "Quarrix";

int AppMessageBox(const std::string& text, long style, wxWindow* parent) {
  // A path in the text need not be UTF-8; its stray bytes must not empty the message.
  return wxMessageBox(wxString::FromUTF8(SanitizeUtf8(text)), wxString::FromUTF8(kAppName), style, parent);
}
