#pragma once
// One way into a tree. Every input that makes items (a scan, an imported
// list, an archive's listing, the member records of a set) makes them
// through here, so that one rule decides what a name may be and every tree
// keeps to the limits of limits.h: what a builder made, a set file holds
// and reads back.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/file_info.h"
#include "model/limits.h"

// What the rule made of a name or a note.
enum class ETextCheck : std::uint8_t {
  Fine,
  Cut,      // longer than an item holds: cut at a character boundary to fit
  Refused,  // a name empty, "." or "..", or holding "/", "\\" or NUL; either not UTF-8 or holding NUL
};

// The length of the longest start of text no longer than max bytes that
// does not end inside a UTF-8 character.
std::size_t Utf8CutLength(std::string_view text, std::size_t max);

// Holds name to the one rule for names: non-empty, not "." or "..", no "/",
// "\\" or NUL, valid UTF-8 (escapes included, cp932_codec.h), at most
// kMaxNameBytes. A longer name is cut in place.
ETextCheck CheckItemName(std::string& name);
// Notes: valid UTF-8 without NUL, cut at kMaxNoteBytes.
ETextCheck CheckItemNote(std::string& note);
// A name from a set written elsewhere that breaks the rule, renamed so that
// it keeps it and shows what it was: each byte that breaks it becomes its
// escape, a name of dots has its dots escaped; then cut if need be.
std::string VisibleNameOf(std::string_view name);

// The bytes of the logical path of an item named name below a parent whose
// path (below the catalog, or the archive for members) takes parentBytes.
inline std::size_t PathBytesBelow(std::size_t parentBytes, std::size_t nameBytes) {
  return parentBytes + (parentBytes != 0 ? 1 : 0) + nameBytes;
}
// Whether an item depth names below the catalog (1 for the catalog's own
// children) with a path of pathBytes fits the limits.
inline bool FitsTree(std::size_t depth, std::size_t pathBytes) {
  return depth <= std::size_t(kMaxDepth) && pathBytes <= kMaxPathBytes;
}

// What adding an item came to.
enum class EBuilt : std::uint8_t {
  Made,         // made, or a folder made for its children took the record
  NameCut,      // the same, a name on the way cut to fit
  BadName,      // a name on the way breaks the rule
  NameMerges,   // cutting a name would make it a different name's
  TooDeep,      // more names than kMaxDepth
  PathTooLong,  // the path takes more than kMaxPathBytes
  TooMany,      // the builder's count of items is reached
  Duplicate,    // (EBuild::Unique) the path was given before
  UnderAFile,   // (EBuild::Unique) a name on the way is a file
};
inline bool IsBuilt(EBuilt built) { return built == EBuilt::Made || built == EBuilt::NameCut; }

enum class EBuild : std::uint8_t {
  Unique,   // a list: each path once, and none below a file
  Listing,  // an archive: a file may come twice, a folder's last record wins,
            // and a path through a file has a folder of that name beside it
};

// Makes items below root by their paths, finding each folder by its parent
// and name: memory grows with the items, never with the square of a depth.
// Nothing is made for a path that is refused.
class CItemBuilder {
 public:
  // made, when given, counts the items made instead of the builder's own
  // count, so that builders of one whole (an archive and those inside it)
  // share maxItems.
  CItemBuilder(CFolderFileInfo& root, EBuild mode, std::uint64_t maxItems = UINT64_MAX, std::uint64_t* made = nullptr);

  // Makes record's item at names[0, count) below root, with the folders on
  // the way; record.cFileName is taken from the last name. made receives
  // the item (null unless built).
  EBuilt Add(std::vector<std::string>& names, std::size_t count, CFindData& record, CFileInfo** made);
  // Items made so far, folders made for the paths of others included.
  std::uint64_t Made() const { return *m_pMade; }

  // A child of parent for record, its name held to the rule, for inputs
  // that give each name of a folder once (a folder read from disk, a
  // member record): null when the name is refused.
  static CFileInfo* AddChild(CFolderFileInfo& parent, CFindData& record, ETextCheck& check);

 private:
  struct CSlot {
    std::size_t nHash;
    const CFolderFileInfo* pParent;
    CFileInfo* pItem;  // null: free
    bool bListed;      // made for a record of its own, not only for the way
  };
  CSlot* Find(const CFolderFileInfo* parent, std::string_view name, bool folderOnly);
  void Index(const CFolderFileInfo* parent, CFileInfo* item, bool listed);
  void Resize(std::size_t size);
  // Whether found, met at a name that was cut, stands for original.
  bool CutFrom(const CFileInfo& found, std::size_t originalHash) const;
  CFileInfo* Make(CFolderFileInfo& parent, CFindData& record, std::size_t originalHash, bool listed);

  CFolderFileInfo& m_root;
  EBuild m_eMode;
  std::uint64_t m_nMaxItems;
  std::uint64_t m_nOwnMade = 0;
  std::uint64_t* m_pMade;
  std::vector<CSlot> m_slots;  // open addressing: a node an item would cost an allocation each
  std::size_t m_nUsed = 0;
  // The folders of the last path, each the one at its name: lists come
  // folder by folder, so most paths find their way here.
  std::vector<CFolderFileInfo*> m_way;
  // Items whose names were cut, by a hash of the name they were cut from.
  std::unordered_map<const CFileInfo*, std::size_t> m_cut;
  std::vector<std::size_t> m_originalHashes;  // of the names of the path being added, 0 for those not cut
};
