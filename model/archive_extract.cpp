#include "model/archive_extract.h"

#include <archive_entry.h>

#include <algorithm>

#include "model/archive_reading.h"
#include "model/limits.h"
#include "model/root_file_info.h"
#include "model/work_progress.h"
#include "platform/archive_entry_name.h"

namespace {

// Hard links followed for one member: tar links to a file's first entry,
// so more than one step is a crafted chain (or a loop).
constexpr int kMaxLinkSteps = 4;

// The names of a logical path below an archive: member names hold no "\\".
std::vector<std::string> MemberNamesOfLogical(const std::string& path) {
  std::vector<std::string> names;
  std::size_t start = 0;
  for (std::size_t at; (at = path.find('\\', start)) != std::string::npos; start = at + 1)
    names.push_back(path.substr(start, at - start));
  names.push_back(path.substr(start));
  return names;
}

// One pass over the entries of an archive the reader serves.
class CArchivePass {
 public:
  CArchivePass(CContentReader& reader, const std::string& path, const std::atomic<bool>* cancel)
      : m_reader(reader), m_source(reader, CArchiveReadLimits::Clock::time_point::max(), cancel) {
    m_bOpened = reader.Open(path) == EContentOpen::Opened;
    m_bReady = m_bOpened && OpenWithReader(m_archive.get(), m_source) == ARCHIVE_OK;
  }
  ~CArchivePass() {
    m_archive.reset();
    if (m_bOpened) m_reader.Close();
  }

  // Reads up to the first entry names names that is no folder.
  EExtract Find(const std::vector<std::string>& names, archive_entry*& entry) {
    if (!m_bReady) return Failure();
    for (;;) {
      const int result = archive_read_next_header(m_archive.get(), &entry);
      if (result == ARCHIVE_EOF) return EExtract::NotFound;
      if (result < ARCHIVE_WARN) return Failure();
      if (archive_entry_filetype(entry) != AE_IFDIR && MemberNamesOf(ArchiveEntryPath(Get(), entry)) == names)
        return EExtract::Done;
    }
  }
  EExtract Failure() const { return m_source.Cancelled() ? EExtract::Cancelled : EExtract::Unreadable; }
  archive* Get() const { return m_archive.get(); }
  const CArchiveReadLimits& Source() const { return m_source; }

 private:
  CContentReader& m_reader;
  CArchiveReadLimits m_source;
  ArchivePtr m_archive = NewArchiveReader();
  bool m_bOpened = false;
  bool m_bReady = false;
};

// A hard link whose data is kept with the member it links to.
bool SharesData(archive_entry* entry) {
  return archive_entry_hardlink(entry) != nullptr &&
         (!archive_entry_size_is_set(entry) || archive_entry_size(entry) == 0);
}

bool IsPlainFile(archive_entry* entry) {
  const auto type = archive_entry_filetype(entry);
  return type == AE_IFREG || type == 0;  // some formats give no type for a file
}

// Hands sink the data of the entry pass stands on, within listedSize.
EExtract CopyData(CArchivePass& pass, std::uint64_t listedSize, const CDataSink& sink, CWorkProgress* progress) {
  if (progress != nullptr) progress->nTotal = listedSize;
  const std::uint64_t bound =
      listedSize > UINT64_MAX - kMemberCopySlackBytes ? UINT64_MAX : listedSize + kMemberCopySlackBytes;
  std::uint64_t done = 0;
  char buffer[64 * 1024];
  for (;;) {
    const la_ssize_t got = archive_read_data(pass.Get(), buffer, sizeof buffer);
    if (got == 0) return EExtract::Done;
    if (got < 0) return pass.Failure();
    if (std::uint64_t(got) > bound - done) return EExtract::TooLarge;
    if (!sink(buffer, std::size_t(got))) return EExtract::WriteFailed;
    done += std::uint64_t(got);
    if (progress == nullptr) continue;
    progress->nDone = done;
    // A stream that inflates much from little input reads no more for a while.
    if (progress->Cancelled()) return EExtract::Cancelled;
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
  if (const CFileInfo* member = FindByPath(static_cast<const CFileInfo*>(&set), logicalPath))
    out.nListedSize = member->GetSize();
  return !out.levels.back().empty();
}

EExtract ExtractMember(CContentReader& reader, const std::string& path,
                       const std::vector<std::vector<std::string>>& levels, std::uint64_t listedSize,
                       const CDataSink& sink, CWorkProgress* progress, const CArchiveLimits& limits) {
  if (levels.empty()) return EExtract::Unreadable;
  const std::atomic<bool>* cancel = progress != nullptr ? progress->pCancel : nullptr;
  CArchiveNameLocale locale;
  // An archive inside another is read from memory, one level at a time.
  std::string bytes;
  CMemoryContentReader memory(bytes);
  for (std::size_t level = 0; level < levels.size(); ++level) {
    const bool last = level + 1 == levels.size();
    std::vector<std::string> names = levels[level];
    std::string inner;
    for (int step = 0;; ++step) {
      CArchivePass pass(level == 0 ? reader : memory, level == 0 ? path : std::string(), cancel);
      archive_entry* entry = nullptr;
      if (const EExtract found = pass.Find(names, entry); found != EExtract::Done) return found;
      if (SharesData(entry)) {
        if (step == kMaxLinkSteps) return EExtract::NotFound;
        names = MemberNamesOf(ArchiveEntryHardlink(pass.Get(), entry));
        continue;
      }
      if (!IsPlainFile(entry)) return EExtract::NotAFile;
      if (last) {
        // A link's own listed size is 0: its data is the size of the member it links to.
        const std::uint64_t size = step > 0 && archive_entry_size_is_set(entry)
                                       ? std::max(listedSize, std::uint64_t(archive_entry_size(entry)))
                                       : listedSize;
        return CopyData(pass, size, sink, progress);
      }
      std::uint8_t state = 0;
      if (!ReadMemberData(pass.Get(), limits.nMaxNestedBytes, inner, state, pass.Source())) return pass.Failure();
      break;
    }
    bytes.swap(inner);  // the outer archive is closed by now
  }
  return EExtract::Unreadable;
}
