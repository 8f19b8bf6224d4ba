#include "platform/archive_entry_name.h"

#include <archive.h>
#include <archive_entry.h>

#include "platform/cp932_codec.h"
#include "platform/win/win_text.h"

// The process stays in the "C" locale. There libarchive keeps a name stored
// as plain bytes as it was stored, and widens it byte by byte when asked for
// the wide form; a name the archive stores as Unicode is kept wide, and its
// narrow form is the wide one cut to bytes where every character is below
// U+0100. So a wide form with a character above U+00FF is Unicode; one that
// stays within bytes is either. It is taken as the stored bytes where those
// read as UTF-8 or CP932 and the format can store bytes, else as Unicode:
// Latin-1 bytes that are neither would only have been escaped.
CArchiveNameLocale::CArchiveNameLocale() = default;
CArchiveNameLocale::~CArchiveNameLocale() = default;

namespace {

bool NamesAlwaysUnicode(archive* reader) {
  const int format = archive_format(reader) & ARCHIVE_FORMAT_BASE_MASK;
  return format == ARCHIVE_FORMAT_7ZIP || format == ARCHIVE_FORMAT_RAR_V5;
}

// A name libarchive holds in both forms, as the comment above says.
std::string EntryName(archive* reader, const wchar_t* wide, const char* narrow) {
  if (wide == nullptr) return narrow != nullptr ? std::string(narrow) : std::string();
  std::string bytes;
  for (const wchar_t* at = wide; *at != 0; ++at) {
    if (*at > 0xFF) return Utf8FromWide(wide);
    bytes += static_cast<char>(*at);
  }
  const bool text = IsValidUtf8(bytes) || NameTextOfBytes(bytes) != EscapeBytes(bytes, true);
  return text && !NamesAlwaysUnicode(reader) ? bytes : Utf8FromWide(wide);
}

}  // namespace

std::string ArchiveEntryPath(archive* reader, archive_entry* entry) {
  return EntryName(reader, archive_entry_pathname_w(entry), archive_entry_pathname(entry));
}

std::string ArchiveEntryHardlink(archive* reader, archive_entry* entry) {
  return EntryName(reader, archive_entry_hardlink_w(entry), archive_entry_hardlink(entry));
}
