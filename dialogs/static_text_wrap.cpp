#include "dialogs/static_text_wrap.h"

#include <wx/stattext.h>

namespace {

// Whether a line may end after c: a blank (which the break replaces), the
// Japanese full stop and comma, and a path separator.
bool BreaksAfter(wxUniChar c) { return c == ' ' || c == '/' || c == '\\' || c == 0x3002 || c == 0x3001; }

}  // namespace

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
      size_t end = line.length();
      while (end > 0 && !BreaksAfter(line[end - 1])) --end;
      if (end > 1) {
        wrapped << line.substr(0, line[end - 1] == ' ' ? end - 1 : end) << '\n';
        line = line.substr(end);
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
