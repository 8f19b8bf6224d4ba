#include "app/framework_texts.h"

#include <clocale>
#include <cstdlib>
#include <memory>
#include <string>

#include <wx/translation.h>

#include "document/child_environment.h"

namespace {

#ifdef __WXGTK__
// GTK translates through gettext in the LC_MESSAGES locale; its texts are
// bound to UTF-8 whatever the character type. LANGUAGE comes first in
// gettext's choice, so it must not name another language.
bool UseJapaneseMessagesLocale() {
  static bool kept = false;  // the user's setting, not the one made here
  if (!kept) KeepLanguageForChildren(std::getenv("LANGUAGE"));
  kept = true;
  setenv("LANGUAGE", "ja", 1);
  for (const char* name : {"ja_JP.UTF-8", "ja_JP.utf8", "ja_JP"})
    if (std::setlocale(LC_MESSAGES, name)) return true;
  // Without a Japanese locale gettext still follows LANGUAGE, unless the
  // messages locale is the plain C one.
  const char* current = std::setlocale(LC_MESSAGES, nullptr);
  const std::string name = current ? current : "C";
  if (name == "C" || name == "POSIX") std::setlocale(LC_MESSAGES, "C.UTF-8");
  return false;
}
#endif

}  // namespace

bool UseJapaneseFrameworkTexts() {
#ifdef __WXGTK__
  const bool gtk = UseJapaneseMessagesLocale();
#else
  const bool gtk = true;  // the system's own texts follow the system's language
#endif
  auto translations = std::make_unique<wxTranslations>();
#ifdef __WXMSW__
  translations->SetLoader(new wxResourceTranslationsLoader);  // the catalog is in the program
#endif
  translations->SetLanguage(wxLANGUAGE_JAPANESE);
  const bool wx = translations->AddStdCatalog();
  wxTranslations::Set(translations.release());
  return gtk && wx;
}
