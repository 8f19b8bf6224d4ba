#include "platform/archive_entry_name.h"

#include <archive_entry.h>
#include <locale.h>

namespace {

locale_t Utf8Locale() {
  // Made once and never freed: threads may still hold it at exit.
  static const locale_t utf8 = [] {
    locale_t made = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(0));
    return made != locale_t(0) ? made : newlocale(LC_CTYPE_MASK, "C.utf8", locale_t(0));
  }();
  return utf8;
}

}  // namespace

CArchiveNameLocale::CArchiveNameLocale() {
  if (Utf8Locale() != locale_t(0)) m_pOld = uselocale(Utf8Locale());
}

CArchiveNameLocale::~CArchiveNameLocale() {
  if (m_pOld != nullptr) uselocale(static_cast<locale_t>(m_pOld));
}

std::string ArchiveEntryPath(archive*, archive_entry* entry) {
  const char* path = archive_entry_pathname(entry);
  return path != nullptr ? std::string(path) : std::string();
}

std::string ArchiveEntryHardlink(archive*, archive_entry* entry) {
  const char* path = archive_entry_hardlink(entry);
  return path != nullptr ? std::string(path) : std::string();
}
