#include "model/archive_listing.h"

#include <archive.h>
#include <archive_entry.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <unordered_map>

#include "model/archive_reading.h"
#include "platform/archive_entry_name.h"
#include "platform/file_time.h"
#include "platform/cp932_codec.h"

namespace {

// Suffixes of the files listed, lower case; whole names such as "a.tar.gz"
// are matched by their last two.
constexpr const char* kArchiveSuffixes[] = {
    ".zip",  ".7z",  ".rar",  ".lzh",    ".lha",     ".cab",    ".iso",     ".tar",      ".tgz", ".tbz",
    ".tbz2", ".txz", ".tzst", ".tar.gz", ".tar.bz2", ".tar.xz", ".tar.zst", ".tar.lzma", ".tlz",
};

// Folders of one archive's members by their path below it, so that each
// member finds its folder without a search.
class CMemberTree {
 public:
  explicit CMemberTree(CFolderFileInfo& root) : m_root(root) {}

  void Add(const std::vector<std::string>& names, bool folder, CFindData record, CFileInfo** made) {
    *made = nullptr;
    if (names.empty()) return;
    CFolderFileInfo* parent = &m_root;
    std::string key;
    for (std::size_t i = 0; i + 1 < names.size(); ++i) {
      if (i != 0) key.push_back('\\');
      key += names[i];
      parent = &FolderAt(*parent, key, names[i], nullptr, record);
    }
    record.cFileName = names.back();
    if (folder) {
      if (names.size() > 1) key.push_back('\\');
      key += names.back();
      FolderAt(*parent, key, names.back(), &record, record);
      return;
    }
    *made = parent->AddChild(&record);
  }

 private:
  // The folder at key (made as name below parent when new); a folder's own
  // entry gives it its record, whether it came before its members or after.
  // A folder only implied by its members' paths takes the times of the
  // first member that implies it.
  CFolderFileInfo& FolderAt(CFolderFileInfo& parent, const std::string& key, const std::string& name,
                            const CFindData* record, const CFindData& implied) {
    const auto it = m_folders.find(key);
    if (it != m_folders.end()) {
      if (record != nullptr) it->second->CopyFieldsFrom(*CFileInfo::Create(record));
      return *it->second;
    }
    CFindData made = record != nullptr ? *record : implied;
    made.SetSize(0);
    made.cFileName = name;
    made.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
    auto* folder = static_cast<CFolderFileInfo*>(parent.AddChild(&made));
    m_folders.emplace(key, folder);
    return *folder;
  }

  CFolderFileInfo& m_root;
  std::unordered_map<std::string, CFolderFileInfo*> m_folders;
};

struct CListing {
  const CArchiveLimits& limits;
  CArchiveReadLimits& reading;
  std::uint32_t nMembers = 0;
};

CFindData MemberRecord(archive_entry* entry, bool folder) {
  CFindData record;
  record.dwFileAttributes = folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  if (!folder && archive_entry_size_is_set(entry)) record.SetSize(std::uint64_t(archive_entry_size(entry)));
  if (archive_entry_mtime_is_set(entry))
    record.ftLastWriteTime = UnixToFileTime(archive_entry_mtime(entry), std::uint32_t(archive_entry_mtime_nsec(entry)));
  // Most archives keep no creation time: the modification time stands in,
  // as copying a file gives it.
  record.ftCreationTime =
      archive_entry_birthtime_is_set(entry)
          ? UnixToFileTime(archive_entry_birthtime(entry), std::uint32_t(archive_entry_birthtime_nsec(entry)))
          : record.ftLastWriteTime;
  return record;
}

void ListOpened(archive* reader, CFolderFileInfo& members, int level, CListing& listing, std::uint8_t& state);

// Lists the member reader stands on, an archive itself, into its own
// members folder: read into memory, within the size limit, and under the
// outer archive's deadline.
void ListInner(archive* reader, CFolderFileInfo& folder, CFileInfo& item, int level, CListing& listing) {
  std::uint8_t state = 0;
  CFolderFileInfo& inner = folder.AttachMembers(item, 0);
  std::string bytes;
  if (ReadMemberData(reader, listing.limits.nMaxNestedBytes, bytes, state, listing.reading)) {
    CMemoryContentReader memory(bytes);
    CArchiveReadLimits source(memory, listing.reading.Deadline(), listing.reading.Cancel());
    CListing nested{listing.limits, source, listing.nMembers};
    ArchivePtr archive = NewArchiveReader();
    if (OpenWithReader(archive.get(), source) == ARCHIVE_OK)
      ListOpened(archive.get(), inner, level + 1, nested, state);
    else
      state |= source.StateAfterError();
    listing.nMembers = nested.nMembers;
  }
  item.SetArchiveState(state);
}

void ListOpened(archive* reader, CFolderFileInfo& members, int level, CListing& listing, std::uint8_t& state) {
  CMemberTree tree(members);
  archive_entry* entry = nullptr;
  for (;;) {
    const int result = archive_read_next_header(reader, &entry);
    if (result == ARCHIVE_EOF) break;
    if (result < ARCHIVE_WARN) {
      state |= listing.reading.StateAfterError();
      if (archive_read_has_encrypted_entries(reader) > 0) state |= kArchiveEncrypted;
      // A 7z link keeps its target as data, which libarchive reads with the
      // header: encrypted, it ends the listing there. The link itself is known.
      if (entry != nullptr && archive_entry_filetype(entry) == AE_IFLNK && archive_entry_is_data_encrypted(entry) &&
          listing.nMembers < listing.limits.nMaxMembers) {
        ++listing.nMembers;
        CFileInfo* item = nullptr;
        tree.Add(MemberNamesOf(ArchiveEntryPath(reader, entry)), false, MemberRecord(entry, false), &item);
      }
      break;
    }
    if (!listing.reading.WithinLimits()) {
      state |= listing.reading.StateAfterError();
      break;
    }
    if (listing.nMembers >= listing.limits.nMaxMembers) {
      state |= kArchiveCapped;
      break;
    }
    ++listing.nMembers;
    const bool folder = archive_entry_filetype(entry) == AE_IFDIR;
    if (archive_entry_is_encrypted(entry)) state |= kArchiveEncrypted;
    const std::vector<std::string> names = MemberNamesOf(ArchiveEntryPath(reader, entry));
    CFileInfo* item = nullptr;
    tree.Add(names, folder, MemberRecord(entry, folder), &item);
    if (item != nullptr && level < listing.limits.nDepth && IsArchiveName(item->GetName()) &&
        !archive_entry_is_encrypted(entry)) {
      ListInner(reader, members, *item, level, listing);
      // The inner listing may have failed on the outer archive's data.
      if (listing.reading.Stopped()) {
        state |= listing.reading.StateAfterError();
        break;
      }
    }
  }
}

}  // namespace

bool IsArchiveName(std::string_view name) {
  std::string lower(name.substr(name.size() > 9 ? name.size() - 9 : 0));
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  for (const char* suffix : kArchiveSuffixes) {
    const std::string_view s(suffix);
    if (lower.size() > s.size() && lower.compare(lower.size() - s.size(), s.size(), s) == 0) return true;
  }
  return false;
}

std::string ArchiveStateText(std::uint8_t state) {
  std::string text;
  const auto add = [&](const char* part) {
    if (!text.empty()) text += "、";
    text += part;
  };
  if (state & kArchiveDamaged) add("壊れているため途中まで");
  if (state & kArchiveEncrypted) add("暗号化あり");
  if (state & kArchiveCapped) add("大きすぎるため一部のみ");
  if (state & kArchiveTimedOut) add("時間切れのため途中まで");
  return text;
}

std::vector<std::string> MemberNamesOf(std::string_view storedPath) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start <= storedPath.size()) {
    std::size_t end = storedPath.find('/', start);
    if (end == std::string_view::npos) end = storedPath.size();
    const std::string_view part = storedPath.substr(start, end - start);
    if (!part.empty() && part != ".") names.push_back(NameTextOfBytes(part));
    start = end + 1;
  }
  return names;
}

EListArchive ListArchive(CContentReader& reader, const std::string& path, CFolderFileInfo& members,
                         const CArchiveLimits& limits, const std::atomic<bool>* cancel, std::uint8_t& state) {
  state = 0;
  if (reader.Open(path) != EContentOpen::Opened) return EListArchive::Unopened;
  CArchiveNameLocale locale;
  CArchiveReadLimits reading(reader, limits.nSeconds, cancel);
  CListing listing{limits, reading};
  ArchivePtr archive = NewArchiveReader();
  if (OpenWithReader(archive.get(), reading) == ARCHIVE_OK) {
    ListOpened(archive.get(), members, 1, listing, state);
  } else {
    state |= reading.StateAfterError();
    if (archive_read_has_encrypted_entries(archive.get()) > 0) state |= kArchiveEncrypted;
  }
  archive.reset();
  reader.Close();
  const bool cancelled = reading.Cancelled() || (cancel != nullptr && cancel->load());
  return cancelled ? EListArchive::Cancelled : EListArchive::Listed;
}
