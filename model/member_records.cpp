#include "model/member_records.h"

#include <vector>

#include "model/archive_listing.h"
#include "model/drive_file_info.h"
#include "model/fingerprints.h"
#include "model/item_builder.h"
#include "model/le_bytes.h"
#include "model/limits.h"
#include "model/set_extension.h"
#include "platform/cp932_codec.h"

namespace {

enum : std::uint8_t {
  kMemberFolder = 1,
  kMemberArchive = 2,  // a listed archive: its state byte follows, its members come after it
  kMemberNote = 4,
  kMemberFlags = 7,
};

void PutText(std::string& out, std::string_view text, int lengthSize) {
  PutLE(out, text.size(), lengthSize);
  out.append(text);
}

// Writes the members below root in pre-order, each with its parent's
// position (0: the archive itself).
void PutMembers(std::string& out, const CFolderFileInfo& root) {
  const std::size_t countAt = out.size();
  PutLE(out, 0, 4);
  std::uint32_t count = 0;
  struct CLevel {
    const CFolderFileInfo* pFolder;
    std::size_t nNext;
    std::uint32_t nPosition;
  };
  std::vector<CLevel> stack{{&root, 0, 0}};
  while (!stack.empty()) {
    CLevel& level = stack.back();
    if (level.nNext == level.pFolder->Children().size()) {
      stack.pop_back();
      continue;
    }
    const CFileInfo& member = *level.pFolder->Children()[level.nNext++];
    PutLE(out, level.nPosition, 4);
    const CFolderFileInfo* inner = member.AsContainer();
    const std::uint8_t flags =
        std::uint8_t((member.IsContainer() ? kMemberFolder : 0) | (member.Members() != nullptr ? kMemberArchive : 0) |
                     (member.GetNote().empty() ? 0 : kMemberNote));
    out += char(flags);
    if (flags & kMemberArchive) out += char(member.ArchiveState());
    PutText(out, member.GetName(), 2);
    PutLE(out, member.GetSize(), 8);
    PutLE(out, member.WriteFileTime(), 8);
    if (flags & kMemberNote) PutText(out, member.GetNote(), 4);
    ++count;
    if (inner != nullptr) stack.push_back({inner, 0, count});
  }
  for (int i = 0; i < 4; ++i) out[countAt + std::size_t(i)] = char(count >> (8 * i));
}

// Reads a payload; with catalog's files (by offset) given, builds what it
// reads below them. Each check a builder relies on is made either way.
class CMemberReader {
 public:
  explicit CMemberReader(std::string_view payload) : m_bytes(payload) {}

  // Calls archive(offset, state) for each archive, then member(...) for its
  // members; false when the payload does not read or goes past a limit
  // (limits.h). A member's depth counts the names below its archive, as a
  // listing counts them, so that whatever a listing made reads back.
  template <class FArchive, class FMember>
  bool Read(FArchive&& archive, FMember&& member) {
    std::uint64_t previous = 0, total = 0;
    while (m_nAt < m_bytes.size()) {
      std::uint64_t offset = 0, count = 0, state = 0;
      if (!Take(4, offset) || offset <= previous || !Take(1, state) || !Take(4, count)) return false;
      if (state & ~std::uint64_t(kArchiveStateMask)) return false;
      total += count;
      if (total > kMaxCatalogMembers) return false;
      previous = offset;
      if (!archive(std::uint32_t(offset), std::uint8_t(state))) return false;
      // What each position may hold below it: folders and listed archives
      // do; 0 is the archive itself.
      std::vector<CLevel> levels{{true, 1, 0}};
      for (std::uint64_t i = 1; i <= count; ++i) {
        std::uint64_t parent = 0, flags = 0, innerState = 0, length = 0, size = 0, time = 0, noteLength = 0;
        if (!Take(4, parent) || parent >= i || !levels[parent].bHolds || !Take(1, flags) ||
            (flags & ~std::uint64_t(kMemberFlags)))
          return false;
        if ((flags & kMemberFolder) && (flags & kMemberArchive)) return false;
        if ((flags & kMemberArchive) && (!Take(1, innerState) || (innerState & ~std::uint64_t(kArchiveStateMask))))
          return false;
        const CLevel& above = levels[parent];
        if (above.nDepth >= kMaxDepth || ((flags & kMemberArchive) && above.nArchives >= kMaxArchiveNesting))
          return false;
        std::string_view name, note;
        if (!Take(2, length) || length == 0 || !TakeText(length, name, true) || !Take(8, size) || !Take(8, time))
          return false;
        if ((flags & kMemberNote) && (!Take(4, noteLength) || !TakeText(noteLength, note))) return false;
        levels.push_back({(flags & (kMemberFolder | kMemberArchive)) != 0,
                          std::uint8_t(above.nArchives + ((flags & kMemberArchive) ? 1 : 0)),
                          std::uint16_t((flags & kMemberArchive) ? 0 : above.nDepth + 1)});
        member(std::uint32_t(parent), std::uint8_t(flags), std::uint8_t(innerState), name, size, time, note);
      }
    }
    return true;
  }

 private:
  // Four bytes a member, within the limits checked.
  struct CLevel {
    bool bHolds;             // a folder or a listed archive
    std::uint8_t nArchives;  // archives it is in, the outermost counted
    std::uint16_t nDepth;    // names below its archive: what it holds stands one deeper
  };
  static_assert(kMaxArchiveNesting <= 0xFF && kMaxDepth < 0xFFFF, "a level fits its fields");

  bool Take(int size, std::uint64_t& value) {
    if (m_bytes.size() - m_nAt < std::size_t(size)) return false;
    value = GetLE(m_bytes, m_nAt, size);
    m_nAt += std::size_t(size);
    return true;
  }
  // Texts are the names and notes of items: UTF-8 without NUL; names have
  // no "\\" either.
  bool TakeText(std::uint64_t length, std::string_view& text, bool name = false) {
    if (m_bytes.size() - m_nAt < length) return false;
    text = m_bytes.substr(m_nAt, std::size_t(length));
    m_nAt += std::size_t(length);
    return IsValidUtf8(text) && text.find('\0') == std::string_view::npos &&
           !(name && text.find('\\') != std::string_view::npos);
  }

  std::string_view m_bytes;
  std::size_t m_nAt = 0;
};

// The catalog's items by offset (index offset - 1).
std::vector<CFileInfo*> ItemsByOffset(const CDriveFileInfo& catalog) {
  std::vector<CFileInfo*> items;
  ForItemsWithOffsets(catalog,
                      [&](const CFileInfo& item, std::uint32_t) { items.push_back(const_cast<CFileInfo*>(&item)); });
  return items;
}

// Calls each(member) for every member of catalog's listed archives, in the
// order their record lists them.
template <class FEach>
void ForEachMember(const CDriveFileInfo& catalog, FEach&& each) {
  ForItemsWithOffsets(catalog, [&](const CFileInfo& item, std::uint32_t) {
    if (const CFolderFileInfo* members = item.Members())
      WalkBelow(
          *members, {}, [&](const CFileInfo& member, const CWalkPath&) { each(const_cast<CFileInfo&>(member)); },
          [](const CFolderFileInfo&) {}, EWalk::WithMembers);
  });
}

constexpr std::size_t kTimesHashSize = 8;
constexpr std::size_t kTimeEntrySize = 12;  // the member's place, 4 bytes; the time, 8

}  // namespace

std::string EncodeMemberRecords(const CDriveFileInfo& catalog) {
  std::string out;
  ForItemsWithOffsets(catalog, [&](const CFileInfo& item, std::uint32_t offset) {
    const CFolderFileInfo* members = item.Members();
    if (members == nullptr) return;
    PutLE(out, offset, 4);
    out += char(item.ArchiveState());
    PutMembers(out, *members);
  });
  return out;
}

bool CheckMemberRecords(std::string_view payload, const CDriveFileInfo& catalog) {
  const std::vector<CFileInfo*> items = ItemsByOffset(catalog);
  CMemberReader reader(payload);
  return reader.Read(
      [&](std::uint32_t offset, std::uint8_t) { return offset <= items.size() && !items[offset - 1]->IsContainer(); },
      [](auto&&...) {});
}

void ApplyMemberRecords(std::string_view payload, CDriveFileInfo& catalog) {
  const std::vector<CFileInfo*> items = ItemsByOffset(catalog);
  // The folder each position's members go to (0 is the archive's own),
  // null where none may or they are left out.
  std::vector<CFolderFileInfo*> folders;
  CMemberReader reader(payload);
  reader.Read(
      [&](std::uint32_t offset, std::uint8_t state) {
        folders.assign(1, &catalog.AttachMembers(*items[offset - 1], state));
        return true;
      },
      [&](std::uint32_t parent, std::uint8_t flags, std::uint8_t state, std::string_view name, std::uint64_t size,
          std::uint64_t time, std::string_view note) {
        // Written elsewhere, the records are held to the rule a listing
        // keeps: a name that breaks it shows what it was.
        CFolderFileInfo* folder = folders[parent];
        folders.push_back(nullptr);
        if (folder == nullptr) return;
        CFindData record;
        record.cFileName = std::string(name);
        if (CheckItemName(record.cFileName) == ETextCheck::Refused) record.cFileName = VisibleNameOf(name);
        record.dwFileAttributes = (flags & kMemberFolder) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
        if (!(flags & kMemberFolder)) record.SetSize(size);
        record.ftLastWriteTime = time;
        record.ftCreationTime = time;
        ETextCheck check = ETextCheck::Fine;
        CFileInfo* made = CItemBuilder::AddChild(*folder, record, check);
        if (made == nullptr) return;
        std::string text(note);
        if (!text.empty() && CheckItemNote(text) != ETextCheck::Refused) made->SetNoteText(std::move(text));
        folders.back() = (flags & kMemberFolder)    ? static_cast<CFolderFileInfo*>(made)
                         : (flags & kMemberArchive) ? &folder->AttachMembers(*made, state)
                                                    : nullptr;
      });
}

std::string EncodeMemberTimes(const CDriveFileInfo& catalog, std::string_view members) {
  std::string times;
  std::uint32_t place = 0;
  ForEachMember(catalog, [&](const CFileInfo& member) {
    if (member.CreationFileTime() != member.WriteFileTime()) {
      PutLE(times, place, 4);
      PutLE(times, member.CreationFileTime(), 8);
    }
    ++place;
  });
  if (times.empty()) return times;
  std::string out;
  PutLE(out, HashBytes(members), kTimesHashSize);
  return out + times;
}

bool CheckMemberTimes(std::string_view payload) {
  if (payload.size() < kTimesHashSize || (payload.size() - kTimesHashSize) % kTimeEntrySize != 0) return false;
  for (std::size_t at = kTimesHashSize + kTimeEntrySize; at < payload.size(); at += kTimeEntrySize)
    if (GetLE(payload, at, 4) <= GetLE(payload, at - kTimeEntrySize, 4)) return false;
  return true;
}

void ApplyMemberTimes(std::string_view payload, CDriveFileInfo& catalog) {
  // Written for other members (an older program changed them and kept
  // this record as one it did not know): their times are not these.
  if (GetLE(payload, 0, kTimesHashSize) != HashBytes(EncodeMemberRecords(catalog))) return;
  std::size_t at = kTimesHashSize;
  std::uint64_t place = 0;
  ForEachMember(catalog, [&](CFileInfo& member) {
    if (at < payload.size() && GetLE(payload, at, 4) == place) {
      member.SetCreationFileTime(GetLE(payload, at + 4, 8));
      at += kTimeEntrySize;
    }
    ++place;
  });
}
