#include "dialogs/message_box.h"

#include <wx/msgdlg.h>

#include "dialogs/static_text_wrap.h"
#include "platform/cp932_codec.h"

const char kAppName[] = "Quarrix";

namespace {

// GTK's message box wraps lines longer than about 60 average characters, and
// breaks Japanese between any two characters; lines this short keep the
// breaks made here.
constexpr int kMessageColumns = 56;

// Columns of line: two for a wide (East Asian) character, one for others.
int Columns(const wxString& line) {
  int columns = 0;
  for (wxUniChar c : line) columns += c >= 0x1100 && !(c >= 0xFF61 && c <= 0xFF9F) ? 2 : 1;
  return columns;
}

}  // namespace

std::string MessageBoxText(const std::string& text) {
  return WrapText(wxString::FromUTF8(SanitizeUtf8(text)), kMessageColumns, Columns).utf8_string();
}

int AppMessageBox(const std::string& text, long style, wxWindow* parent) {
  // A path in the text need not be UTF-8; its stray bytes must not empty the message.
  return wxMessageBox(wxString::FromUTF8(MessageBoxText(text)), wxString::FromUTF8(kAppName), style, parent);
}
