#include "model/archive_listing.h"

#include <archive.h>
#include <archive_entry.h>

#include <chrono>
#include <cstdio>
#include <memory>

#include "model/archive_reading.h"
#include "model/item_builder.h"
#include "model/sevenz_header.h"
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

struct CListing {
  const CArchiveLimits& limits;
  CArchiveReadLimits& reading;
  std::uint64_t& nMembers;  // made so far in the outermost archive, the folders implied included
};

// A member's record; created 0 when the archive keeps no creation time.
CFindData MemberRecord(bool folder, std::uint64_t modified, std::uint64_t created) {
  CFindData record;
  record.dwFileAttributes = folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  record.ftLastWriteTime = modified;
  // Most archives keep no creation time: the modification time stands in,
  // as copying a file gives it.
  record.ftCreationTime = created != 0 ? created : modified;
  return record;
}

CFindData MemberRecord(archive_entry* entry, bool folder) {
  const auto time = [](bool set, time_t seconds, long nanoseconds) {
    return set ? UnixToFileTime(seconds, std::uint32_t(nanoseconds)) : 0;
  };
  CFindData record = MemberRecord(
      folder, time(archive_entry_mtime_is_set(entry), archive_entry_mtime(entry), archive_entry_mtime_nsec(entry)),
      time(archive_entry_birthtime_is_set(entry), archive_entry_birthtime(entry), archive_entry_birthtime_nsec(entry)));
  if (!folder && archive_entry_size_is_set(entry)) record.SetSize(std::uint64_t(archive_entry_size(entry)));
  return record;
}

// Adds record's item at names, noting in state what the builder made of
// it: false when the listing is full. item: the item, null unless built.
bool AddMember(CItemBuilder& tree, std::vector<std::string>& names, CFindData& record, std::uint8_t& state,
               CFileInfo*& item) {
  item = nullptr;
  const EBuilt built = tree.Add(names, names.size(), record, &item);
  if (built == EBuilt::TooMany) {
    state |= kArchiveCapped;
    return false;
  }
  if (!IsBuilt(built)) state |= kArchiveLeftOut;
  if (built == EBuilt::NameCut) state |= kArchiveNamesCut;
  return true;
}

// libarchive reads a 7z link's target, its data, with its header: where the
// data is encrypted that fails and ends the listing, though the header
// names every member. The members after the link, the reached'th, come from
// the header: true when it reads and agrees that the link is there.
bool ListSevenZipRest(CArchiveReadLimits& reading, std::size_t reached, const std::string& linkPath, CItemBuilder& tree,
                      std::uint8_t& state) {
  std::vector<CSevenZipMember> members;
  const auto readAt = [&](std::uint64_t offset, std::size_t size, std::string& out) {
    return reading.ReadAt(offset, size, out);
  };
  if (!ReadSevenZipMembers(readAt, members) || members.size() < reached || members[reached - 1].strPath != linkPath)
    return false;
  for (std::size_t i = reached; i < members.size(); ++i) {
    const CSevenZipMember& member = members[i];
    std::vector<std::string> names = MemberNamesOf(member.strPath, std::size_t(kMaxDepth) + 1);
    if (names.empty() && member.bFolder) continue;  // the archive's own folder, "./"
    CFindData record = MemberRecord(member.bFolder, member.nMTime, member.nCTime);
    if (!member.bFolder) record.SetSize(member.nSize);
    CFileInfo* item = nullptr;
    if (!AddMember(tree, names, record, state, item)) break;
  }
  return true;
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
  }
  item.SetArchiveState(state);
}

void ListOpened(archive* reader, CFolderFileInfo& members, int level, CListing& listing, std::uint8_t& state) {
  CItemBuilder tree(members, EBuild::Listing, listing.limits.nMaxMembers, &listing.nMembers);
  archive_entry* entry = nullptr;
  std::size_t reached = 0;
  for (;;) {
    const int result = archive_read_next_header(reader, &entry);
    if (result == ARCHIVE_EOF) break;
    if (result < ARCHIVE_WARN) {
      if (archive_read_has_encrypted_entries(reader) > 0) state |= kArchiveEncrypted;
      bool listed = false;
      // An encrypted 7z link: the link itself is known (ListSevenZipRest).
      if (entry != nullptr && archive_entry_filetype(entry) == AE_IFLNK && archive_entry_is_data_encrypted(entry)) {
        const std::string path = ArchiveEntryPath(reader, entry);
        std::vector<std::string> names = MemberNamesOf(path, std::size_t(kMaxDepth) + 1);
        CFindData record = MemberRecord(entry, false);
        CFileInfo* item = nullptr;
        const bool full = !AddMember(tree, names, record, state, item);
        listed = !listing.reading.Stopped() && archive_format(reader) == ARCHIVE_FORMAT_7ZIP &&
                 (full || ListSevenZipRest(listing.reading, reached + 1, path, tree, state));
      }
      if (!listed) state |= listing.reading.StateAfterError();
      break;
    }
    ++reached;
    if (!listing.reading.WithinLimits()) {
      state |= listing.reading.StateAfterError();
      break;
    }
    const bool folder = archive_entry_filetype(entry) == AE_IFDIR;
    if (archive_entry_is_encrypted(entry)) state |= kArchiveEncrypted;
    std::vector<std::string> names = MemberNamesOf(ArchiveEntryPath(reader, entry), std::size_t(kMaxDepth) + 1);
    if (names.empty() && folder) continue;  // the archive's own folder, "./"
    CFindData record = MemberRecord(entry, folder);
    CFileInfo* item = nullptr;
    if (!AddMember(tree, names, record, state, item)) break;
    if (item == nullptr) continue;
    if (!folder && level < listing.limits.nDepth && IsArchiveName(item->GetName()) &&
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
  if (state & kArchiveNamesCut) add("長い名前を短縮");
  if (state & kArchiveLeftOut) add("扱えない名前や深さのものを除外");
  return text;
}

std::vector<std::string> MemberNamesOf(std::string_view storedPath, std::size_t max) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start <= storedPath.size() && names.size() < max) {
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
  std::uint64_t made = 0;
  CListing listing{limits, reading, made};
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
