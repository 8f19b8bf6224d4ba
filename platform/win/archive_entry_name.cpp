#include "platform/archive_entry_name.h"

#include <archive_entry.h>

#include "platform/win/win_text.h"

// Windows keeps member names wide where the archive says what they are, and
// reads plain bytes in the console's code page: no locale to set.
CArchiveNameLocale::CArchiveNameLocale() = default;
CArchiveNameLocale::~CArchiveNameLocale() = default;

std::string ArchiveEntryPath(archive_entry* entry) {
  if (const char* utf8 = archive_entry_pathname_utf8(entry)) return utf8;
  if (const wchar_t* wide = archive_entry_pathname_w(entry)) return Utf8FromWide(wide);
  const char* path = archive_entry_pathname(entry);
  return path != nullptr ? std::string(path) : std::string();
}
