#include "dialogs/message_box.h"

#include <wx/msgdlg.h>

const char kAppName[] = "Quarrix";

int AppMessageBox(const std::string& text, long style, wxWindow* parent) {
  return wxMessageBox(wxString::FromUTF8(text), wxString::FromUTF8(kAppName), style, parent);
}
