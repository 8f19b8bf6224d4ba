#pragma once
// Views that have a status-bar text implement this; the application asks the
// active view for it once each time the program goes idle and shows it in
// the first pane of the main frame's status bar.

#include <wx/string.h>

class CStatusTextSource {
 public:
  virtual ~CStatusTextSource() = default;
  // text = what the status bar should read now; false to leave it as it is.
  virtual bool GetStatusText(wxString& text) = 0;
};
