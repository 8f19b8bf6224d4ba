#include "platform/archive_entry_name.h"

#include <archive_entry.h>

#include "platform/win/win_text.h"

// The process stays in the "C" locale, where libarchive hands plain bytes on
// as they were stored and widens them byte by byte (so the wide form of such
// a name is wrong); names the archive stores as Unicode have no narrow form
// there and come wide.
CArchiveNameLocale::CArchiveNameLocale() = default;
CArchiveNameLocale::~CArchiveNameLocale() = default;

std::string ArchiveEntryPath(archive_entry* entry) {
  if (const char* path = archive_entry_pathname(entry)) return path;
  const wchar_t* wide = archive_entry_pathname_w(entry);
  return wide != nullptr ? Utf8FromWide(wide) : std::string();
}
