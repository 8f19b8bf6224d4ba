#pragma once
// The catalogued items: files and folders, with the catalog and the set
// deriving from the folder (drive_file_info.h, root_file_info.h).
//
// A set may hold millions of files, so an item keeps only what it cannot
// derive: its name lives in the same allocation as the item, its logical path
// is derived from its parent's while walking, and the fields that are usually
// empty (note, short name, reserved words, the high half of a size past
// 4 GiB) share one optional block, found by a flag bit rather than a pointer.
// The items of a catalog come from the catalog's arena (item_arena.h).

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/item_summary.h"
#include "model/time_format.h"
#include "platform/find_data.h"

class CArchiveWriter;
class CArchiveReader;
class CFileInfo;
class CFolderFileInfo;
class CItemArena;

// Nonzero when the item matches; params is the criterion, passed through.
using CSearchPredicate = int (*)(const CFileInfo& item, void* params);

class CFileInfo {
 public:
  enum EKind : std::uint8_t { KIND_FILE = 0, KIND_FOLDER = 1, KIND_CATALOG = 2, KIND_SET = 3 };

  // A file item copied from record (no record: empty name, zero fields).
  static std::unique_ptr<CFileInfo> Create(const CFindData* record);
  // An item of any kind with record's fields, as the set file loader makes them.
  static std::unique_ptr<CFileInfo> CreateOfKind(EKind kind, const CFindData& record);

  virtual ~CFileInfo();
  CFileInfo(const CFileInfo&) = delete;
  CFileInfo& operator=(const CFileInfo&) = delete;

  // Items made by NewItem carry their name behind the object, so they are
  // freed as raw storage rather than by their static size. Items in an arena
  // are never deleted this way: their folder destroys them (DestroyItem).
  static void operator delete(void* p) { ::operator delete(p); }

  // Write or read the fields a class adds after its children (the set file's
  // third part); the common fields and the children are the archive's work.
  virtual void Serialize(CArchiveWriter& ar) const;
  virtual void Serialize(CArchiveReader& ar);

  virtual EKind GetKind() const { return KIND_FILE; }
  virtual bool IsContainer() const { return false; }
  virtual bool IsCatalog() const { return false; }
  virtual std::string_view GetName() const { return FileName(); }
  virtual CTime GetModifiedTime() const;
  virtual CTime GetCreatedTime() const;
  virtual std::uint64_t GetSize() const { return RecordSize(); }
  virtual std::uint32_t GetAttributes() const { return m_dwAttributes; }
  virtual std::string GetSizeText(bool inBytes) const;
  virtual std::string GetTypeName() const;
  // Fills the fields of info that this kind of item shows; path is the
  // item's logical path.
  virtual void GetInfo(CPropInfoData& info, const std::string& path) const;
  // Tests this item (and a container everything below it, in pre-order);
  // matches go to items and/or summaries. path is this item's logical path.
  virtual int Search(CSearchPredicate predicate, void* params, const std::string& path,
                     std::vector<const CFileInfo*>* items, CItemSummaryList* summaries) const;

  // The record the item was catalogued from.
  CFindData GetFindData() const;
  std::string_view FileName() const {
    if ((m_wFlags & kLayoutMask) == KIND_FILE) return std::string_view(m_achName, m_nNameLength);
    return NameBehindObject();
  }
  const std::string& AlternateName() const;
  std::uint32_t RecordAttributes() const { return m_dwAttributes; }
  std::uint64_t RecordSize() const { return (m_wFlags & kHasExtra) ? SizeWithHighPart() : m_nSizeLow; }
  std::uint64_t CreationFileTime() const { return m_ftCreation; }
  void SetCreationFileTime(std::uint64_t time) { m_ftCreation = time; }
  std::uint64_t AccessFileTime() const { return m_ftAccess; }
  std::uint64_t WriteFileTime() const { return m_ftWrite; }
  std::uint32_t Reserved0() const;
  std::uint32_t Reserved1() const;

  const std::string& GetNote() const;
  void SetNoteText(std::string note);

  // How the texts of the set file's common fields were stored, so that an
  // unchanged text is written back byte for byte (archive.h, CTextForm).
  enum ETextField : std::uint8_t { TEXT_PATH, TEXT_NOTE, TEXT_NAME, TEXT_ALTERNATE, TEXT_FIELDS };
  bool HasStoredForms() const { return (m_wFlags & kTextFormMask) != 0; }
  bool IsStoredWide(ETextField field) const { return (m_wFlags & (kWideTextFirstBit << field)) != 0; }
  std::string_view StoredBytes(ETextField field) const;
  void SetStoredForm(ETextField field, bool wide, std::string bytes);

  // The logical path of this item when its parent's path is parentPath.
  std::string PathUnder(std::string_view parentPath) const;
  // Keeps a path read from a file when it is not the one the tree derives.
  void SetStoredPath(std::string_view storedPath, std::string_view parentPath);
  // Whether the path is the parent's path, a backslash and the name.
  bool AppendsToParentPath() const;

  std::unique_ptr<CItemSummary> MakeSummary(const std::string& path) const;

  // What the scan learned of the real entry, kept so that nothing later has
  // to ask the disk again: the name on disk is CP932 (the item's name is its
  // decoded text), and the entry could not be read (a folder that would not
  // open, an entry whose facts could not be taken), so its fields are not
  // the medium's.
  bool IsRealNameCp932() const { return (m_wFlags & kRealNameCp932) != 0; }
  void SetRealNameCp932(bool on) { SetFlag(kRealNameCp932, on); }
  bool IsUnreadable() const { return (m_wFlags & kUnreadable) != 0; }
  bool HasScanFlags() const {
    return (m_wFlags & (kRealNameCp932 | kUnreadable)) != 0 || EntryKind() != EEntryKind::Regular;
  }
  void SetUnreadable(bool on) { SetFlag(kUnreadable, on); }
  // What stood on the medium beside a plain file or folder. A link the
  // scan did not follow as a folder keeps its own facts and is never read
  // through (a link to a folder stays a folder item without children);
  // Special is any other entry that is not a regular file (a FIFO, a
  // socket, a device). Rare, so kept in the extra block.
  enum class EEntryKind : std::uint8_t { Regular = 0, Link = 1, Special = 2 };
  EEntryKind EntryKind() const;
  void SetEntryKind(EEntryKind kind);
  bool IsLink() const { return EntryKind() == EEntryKind::Link; }
  // Takes other's record (attributes, times, size, short name), the name
  // staying; how an update keeps what it could not read again.
  void CopyFieldsFrom(const CFileInfo& other) { AssignRecord(other.GetFindData()); }

  // An archive file whose members were listed holds them below a folder of
  // their own, kept beside the item rather than among its parent's
  // children: the set object knows the archive only as the file it is.
  // Null for any other item.
  const CFolderFileInfo* Members() const;
  CFolderFileInfo* Members();
  // How far the listing got (archive_listing.h, EArchiveState bits); 0 when
  // it read every member, or for an item without members.
  std::uint8_t ArchiveState() const;
  void SetArchiveState(std::uint8_t state);
  void DropMembers();
  // Whether the item is a member of an archive (of its members folder).
  bool IsInArchive() const { return (m_wFlags & kInArchive) != 0; }
  // What a walk enters below this item: itself for a folder, its members
  // for a listed archive, else null.
  const CFolderFileInfo* AsContainer() const;

 protected:
  CFileInfo() = default;
  void AssignRecord(const CFindData& record);
  // The path the tree gives this item below parentPath.
  virtual std::string DerivedPath(std::string_view parentPath) const;
  bool IsDerivedPath(std::string_view path, std::string_view parentPath) const;

  // Makes a T with record's name stored behind it, in arena or (null) on
  // the heap; alone: no other thread can reach the arena's tree yet.
  template <class T>
  static T* NewItem(const CFindData* record, CItemArena* arena, bool alone = false);
  // Destroys an item NewItem made and gives its storage back; arena is the
  // one it was made in (its folder's).
  static void DestroyItem(CFileInfo* item, CItemArena* arena);
  // Whether item is a file made in an arena and holding nothing else: such
  // an item is done with by giving its storage back, without destroying it.
  static bool IsPlainFileInArena(const CFileInfo& item) {
    return (item.m_wFlags & (kLayoutMask | kInArena | kHasExtra)) == (KIND_FILE | kInArena);
  }

 private:
  struct CExtra;
  friend class CFolderFileInfo;
  // Bits of m_wFlags; all sixteen are taken.
  enum : std::uint16_t {
    kLayoutMask = 0x3,  // the EKind of the class NewItem made: where the name is
    kInArena = 0x4,
    kHasExtra = 0x8,
    // Text field f: bit kWideTextFirstBit << f, stored wide (0x10 to 0x80);
    // kKeptBytesFirstBit << f, its stored bytes are kept in the extra block
    // (0x100 to 0x800).
    kWideTextFirstBit = 0x10,
    kKeptBytesFirstBit = 0x100,
    kKeptBytesMask = 0xF00,
    kTextFormMask = 0xFF0,
    kRealNameCp932 = 0x1000,
    kUnreadable = 0x2000,
    kHasMembers = 0x4000,
    kInArchive = 0x8000,
  };
  static_assert((kWideTextFirstBit << TEXT_FIELDS) == kKeptBytesFirstBit &&
                    (kKeptBytesFirstBit << TEXT_FIELDS) == kRealNameCp932,
                "the text fields' bits fill kTextFormMask");
  void SetFlag(std::uint16_t bit, bool on) { m_wFlags = std::uint16_t(on ? (m_wFlags | bit) : (m_wFlags & ~bit)); }
  const CExtra* FindExtra() const;
  CExtra& Extra();
  void DropExtraIfEmpty();
  std::string_view NameBehindObject() const;
  std::uint64_t SizeWithHighPart() const;

  std::uint64_t m_ftCreation = 0;
  std::uint64_t m_ftAccess = 0;
  std::uint64_t m_ftWrite = 0;
  std::uint32_t m_nSizeLow = 0;  // the high half, rarely set, is in the extra block
  std::uint32_t m_dwAttributes = 0;
  std::uint16_t m_nNameLength = 0;
  std::uint16_t m_wFlags = 0;
  // A file item's name starts here and runs on past the object; the other
  // classes keep theirs behind their own members.
  char m_achName[4] = {};
};

class CFolderFileInfo : public CFileInfo {
 public:
  static std::unique_ptr<CFolderFileInfo> Create(const CFindData* record);
  ~CFolderFileInfo() override;

  EKind GetKind() const override { return KIND_FOLDER; }
  bool IsContainer() const override { return true; }
  std::uint64_t GetSize() const override { return 0; }
  std::string GetTypeName() const override;
  void GetInfo(CPropInfoData& info, const std::string& path) const override;
  int Search(CSearchPredicate predicate, void* params, const std::string& path, std::vector<const CFileInfo*>* items,
             CItemSummaryList* summaries) const override;

  // A folder child for a record with the directory bit, else a file child,
  // appended at the end.
  CFileInfo* AddChild(const CFindData* record);
  // A child of the given kind, as the set file loader makes them: in a tree
  // that no other thread can reach yet.
  CFileInfo* AddChildOfKind(EKind kind, const CFindData& record);
  // Appends an item made on its own (Create, or a catalog's constructor).
  void AppendChild(std::unique_ptr<CFileInfo> child);
  // Unlinks and deletes child with its subtree; nothing when it is not ours.
  void RemoveChild(const CFileInfo* child);
  // Gives child, a file of this folder (or of this members folder), a
  // members folder of its own, made on this folder's arena, replacing any
  // it had; returns it.
  CFolderFileInfo& AttachMembers(CFileInfo& child, std::uint8_t state);
  // Adds the sizes of every file below (AddSize) to total.
  void SumContentSizes(std::uint64_t& total) const;

  const std::vector<std::unique_ptr<CFileInfo>>& Children() const { return m_children; }
  void ReserveChildren(std::size_t count) { m_children.reserve(count); }

 protected:
  friend class CFileInfo;
  CFolderFileInfo() = default;
  // Destroys the subtree below this folder with an explicit stack.
  void DestroyChildren();

  // Children made in m_pArena are owned by this vector but never deleted
  // through it: DestroyChildren and RemoveChild give them back to the arena.
  std::vector<std::unique_ptr<CFileInfo>> m_children;
  CItemArena* m_pArena = nullptr;  // where children are made; null: the heap

 private:
  CFileInfo* AddNew(EKind kind, const CFindData* record, bool alone);
  // Whether item is a catalog that makes its tree in an arena of its own.
  static bool OwnsArena(const CFileInfo& item);
};

// The logical path of the item a walk stands on, kept in one buffer so that
// deep trees cost memory in proportion to their depth, not its square.
class CWalkPath {
 public:
  explicit CWalkPath(std::string start = {}) : m_str(std::move(start)) {}
  const std::string& Str() const { return m_str; }
  // Moves to item, a child of the current item, and back.
  void Enter(const CFileInfo& item);
  void Leave();
  // The path of a child of the current item.
  std::string PathOf(const CFileInfo& item) const;
  // The same in out, whose storage is reused from one item to the next.
  const std::string& PathOf(const CFileInfo& item, std::string& out) const;

 private:
  struct CMark {
    std::size_t nLength;
    bool bReplaced;
    std::string strSaved;
  };
  std::string m_str;
  std::vector<CMark> m_marks;
};

// Visits every item below top in pre-order, each with the walk path of its
// parent (PathOf gives the item's own path), and calls leave for every
// container, top included, once its children are done. With members, the
// walk enters listed archives too (leave then gets their members folders).
// Uses an explicit stack: folders may nest far deeper than the call stack
// allows.
enum class EWalk : bool { Items, WithMembers };
template <class FVisit, class FLeave>
void WalkBelow(const CFolderFileInfo& top, const std::string& topPath, FVisit&& visit, FLeave&& leave,
               EWalk mode = EWalk::Items) {
  std::vector<std::pair<const CFolderFileInfo*, std::size_t>> stack{{&top, 0}};
  CWalkPath walkPath(topPath);
  while (!stack.empty()) {
    auto& [folder, next] = stack.back();
    if (next == folder->Children().size()) {
      leave(*folder);
      stack.pop_back();
      if (!stack.empty()) walkPath.Leave();
      continue;
    }
    const CFileInfo& child = *folder->Children()[next++];
    visit(child, walkPath);
    const CFolderFileInfo* inner = mode == EWalk::WithMembers ? child.AsContainer()
                                   : child.IsContainer()      ? static_cast<const CFolderFileInfo*>(&child)
                                                              : nullptr;
    if (inner != nullptr) {
      walkPath.Enter(child);
      stack.emplace_back(inner, 0);
    }
  }
}

template <class FVisit>
void WalkBelow(const CFolderFileInfo& top, const std::string& topPath, FVisit&& visit) {
  WalkBelow(top, topPath, std::forward<FVisit>(visit), [](const CFolderFileInfo&) {});
}

// The item at a logical path below start (names compared exactly), or null;
// the empty path gives start. With itemPath, also the found item's own
// logical path, start's being startPath.
CFileInfo* FindByPath(CFileInfo* start, std::string_view path);
const CFileInfo* FindByPath(const CFileInfo* start, std::string_view path);
const CFileInfo* FindByPath(const CFileInfo* start, std::string_view startPath, std::string_view path,
                            std::string* itemPath);

// Adds size to total, stopping at the largest value: hand-built sets may
// hold sizes whose sum would wrap round to a small one.
inline void AddSize(std::uint64_t& total, std::uint64_t size) {
  total = size > UINT64_MAX - total ? UINT64_MAX : total + size;
}

// Every file and folder below folder.
std::uint64_t CountItemsBelow(const CFolderFileInfo& folder);
