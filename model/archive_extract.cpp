#include "model/archive_extract.h"

#include <archive_entry.h>

#include "model/archive_reading.h"
#include "model/root_file_info.h"
#include "platform/archive_entry_name.h"

namespace {

// The names of a logical path below an archive: member names hold no "\\".
std::vector<std::string> MemberNamesOfLogical(const std::string& path) {
  std::vector<std::string> names;
  std::size_t start = 0;
  for (std::size_t at; (at = path.find('\\', start)) != std::string::npos; start = at + 1)
    names.push_back(path.substr(start, at - start));
  names.push_back(path.substr(start));
  return names;
}

// Finds the entry levels[level] names in archive, then either hands its
// bytes to sink (the last level) or opens it as the next archive.
EExtract ExtractFrom(archive* reader, CArchiveReadLimits& source, const std::vector<std::vector<std::string>>& levels,
                     std::size_t level, const CDataSink& sink, const CArchiveLimits& limits) {
  archive_entry* entry = nullptr;
  for (;;) {
    const int result = archive_read_next_header(reader, &entry);
    if (result == ARCHIVE_EOF) return EExtract::NotFound;
    if (result < ARCHIVE_WARN) return source.Cancelled() ? EExtract::Cancelled : EExtract::Unreadable;
    if (archive_entry_filetype(entry) == AE_IFDIR || MemberNamesOf(ArchiveEntryPath(reader, entry)) != levels[level])
      continue;
    if (level + 1 < levels.size()) {
      std::string bytes;
      std::uint8_t state = 0;
      if (!ReadMemberData(reader, limits.nMaxNestedBytes, bytes, state, source))
        return source.Cancelled() ? EExtract::Cancelled : EExtract::Unreadable;
      CMemoryContentReader memory(bytes);
      CArchiveReadLimits inner(memory, source.Deadline(), source.Cancel());
      ArchivePtr nested = NewArchiveReader();
      if (OpenWithReader(nested.get(), inner) != ARCHIVE_OK) return EExtract::Unreadable;
      return ExtractFrom(nested.get(), inner, levels, level + 1, sink, limits);
    }
    char buffer[64 * 1024];
    for (;;) {
      const la_ssize_t got = archive_read_data(reader, buffer, sizeof buffer);
      if (got == 0) return EExtract::Done;
      if (got < 0) return source.Cancelled() ? EExtract::Cancelled : EExtract::Unreadable;
      if (!sink(buffer, std::size_t(got))) return EExtract::Unreadable;
    }
  }
}

}  // namespace

bool SplitMemberPath(const CRootFileInfo& set, const std::string& logicalPath, CMemberPath& out) {
  out = CMemberPath();
  std::size_t start = 0;  // where the current level's names begin
  for (std::size_t at = logicalPath.find('\\'); at != std::string::npos; at = logicalPath.find('\\', at + 1)) {
    const CFileInfo* item = FindByPath(static_cast<const CFileInfo*>(&set), logicalPath.substr(0, at));
    if (item == nullptr || item->Members() == nullptr) continue;
    if (out.levels.empty())
      out.strArchive = logicalPath.substr(0, at);
    else
      out.levels.back() = MemberNamesOfLogical(logicalPath.substr(start, at - start));
    out.levels.emplace_back();
    start = at + 1;
  }
  if (out.levels.empty()) return false;
  out.levels.back() = MemberNamesOfLogical(logicalPath.substr(start));
  return !out.levels.back().empty();
}

EExtract ExtractMember(CContentReader& reader, const std::string& path,
                       const std::vector<std::vector<std::string>>& levels, const CDataSink& sink,
                       const CArchiveLimits& limits, const std::atomic<bool>* cancel) {
  if (levels.empty() || reader.Open(path) != EContentOpen::Opened) return EExtract::Unreadable;
  CArchiveNameLocale locale;
  CArchiveReadLimits source(reader, limits.nSeconds, cancel);
  ArchivePtr archive = NewArchiveReader();
  EExtract result = EExtract::Unreadable;
  if (OpenWithReader(archive.get(), source) == ARCHIVE_OK)
    result = ExtractFrom(archive.get(), source, levels, 0, sink, limits);
  archive.reset();
  reader.Close();
  return result;
}
