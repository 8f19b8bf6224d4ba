#include "dialogs/dialog_font.h"

#include <wx/fontenum.h>
#include <wx/settings.h>
#include <wx/window.h>

namespace {
const char kDialogFace[] = "IPAPGothic";
constexpr int kDialogPointSize = 9;
}  // namespace

wxFont GetDialogFont() {
  static const wxFont font = [] {
    if (wxFontEnumerator::IsValidFacename(kDialogFace)) {
      wxFont ipa(wxFontInfo(kDialogPointSize).FaceName(kDialogFace));
      if (ipa.IsOk()) return ipa;
    }
    return wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
  }();
  return font;
}

void ApplyDialogFont(wxWindow* window) {
  if (window) window->SetFont(GetDialogFont());
}
