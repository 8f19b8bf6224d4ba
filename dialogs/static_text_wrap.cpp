#include "dialogs/static_text_wrap.h"

#include <wx/stattext.h>

wxString WrapText(const wxString& text, int width, const std::function<int(const wxString&)>& widthOf) {
  if (width <= 0) return text;
  wxString wrapped;
  wxString line;
  for (wxUniChar c : text) {
    if (c == '\n') {
      wrapped << line << '\n';
      line.clear();
      continue;
    }
    if (!line.empty() && widthOf(line + c) > width) {
      if (c == ' ') {  // the blank itself is the break
        wrapped << line << '\n';
        line.clear();
        continue;
      }
      const size_t blank = line.find_last_of(' ');
      if (blank != wxString::npos && blank > 0) {
        wrapped << line.substr(0, blank) << '\n';
        line = line.substr(blank + 1);
      } else {
        wrapped << line << '\n';
        line.clear();
      }
    }
    line << c;
  }
  return wrapped + line;
}

void SetWrappedText(wxStaticText* control, const wxString& text) {
  if (!control) return;
  // The sunken border, if any, takes a few pixels of the width.
  const int width = control->GetClientSize().x - 4;
  control->SetLabelText(
      WrapText(text, width, [control](const wxString& line) { return control->GetTextExtent(line).x; }));
}
