#pragma once
// The path of an archive member as bytes, the same whatever the process's
// locale: libarchive converts names through the current locale, so the
// listing runs its thread in a UTF-8 one. Names the archive marks as Unicode
// (UTF-8 flags, UTF-16 headers) then come as UTF-8; names stored as plain
// bytes come as they were stored, for the caller's naming rule.

#include <string>

struct archive;
struct archive_entry;

// Holds the calling thread in a UTF-8 locale while it lives.
class CArchiveNameLocale {
 public:
  CArchiveNameLocale();
  ~CArchiveNameLocale();
  CArchiveNameLocale(const CArchiveNameLocale&) = delete;
  CArchiveNameLocale& operator=(const CArchiveNameLocale&) = delete;

 private:
  void* m_pOld = nullptr;
};

// The member's path ("/" between names) as stored, or as UTF-8 where the
// archive stores it as Unicode; empty when it has none. reader is the archive
// the entry was read from.
std::string ArchiveEntryPath(archive* reader, archive_entry* entry);
// The path of the member a hard link entry shares its data with, in the same
// form; empty when the entry is no hard link.
std::string ArchiveEntryHardlink(archive* reader, archive_entry* entry);
