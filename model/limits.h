#pragma once
// What the program builds and what it takes from files it did not write
// (set files, lists, archives), each bound with its reason. Readers check
// them before they allocate; every tree is built through one interface
// (item_builder.h) that holds it to them. docs/limits.md lists them for
// users.

#include <cstdint>

// A name's bytes (UTF-8): an item keeps the length of its name in 16 bits.
constexpr std::uint32_t kMaxNameBytes = 0xFFFF;

// A note's bytes (UTF-8): a note is a person's text; the bound keeps one
// crafted list row or record from asking for gigabytes.
constexpr std::uint32_t kMaxNoteBytes = 1u << 20;

// Names in an item's path below its catalog (for an archive's members,
// below the archive): every item stores its whole path in the set file, so
// a file grows with the square of its depth, and walks keep a frame a
// level. Real trees stay far below (a Linux path ends at 4,096 bytes, 2,048
// levels at most).
constexpr int kMaxDepth = 1024;

// A logical path's bytes below its catalog (for members, below the
// archive): Windows' longest path is 32,767 UTF-16 units, three bytes each
// at most in UTF-8. Bounds what each item stores and what a deep tree costs.
constexpr std::uint32_t kMaxPathBytes = 3 * 32768;

// Archives inside archives a listing opens (--archive-depth): each level
// is read into memory whole while the levels above it stay open.
constexpr int kMaxArchiveDepth = 8;

// Archives inside archives, as a set file may hold them: deeper listings
// are never made (kMaxArchiveDepth), and the bound keeps reading and
// tearing down a crafted set's members shallow.
constexpr int kMaxArchiveNesting = 32;

// Members of one archive, those inside it and the folders their paths imply
// counted: a listing is held in memory whole.
constexpr std::uint32_t kMaxArchiveMembers = 1000000;

// Members of all archives of one catalog, as a set file may hold them: ten
// full archives, so that a crafted record cannot outgrow memory.
constexpr std::uint32_t kMaxCatalogMembers = 10 * kMaxArchiveMembers;

// A line of an imported list: room for a note at kMaxNoteBytes written as
// escapes (JSON's take up to three times the UTF-8 bytes) and a path at
// kMaxPathBytes, yet small enough that a file without line breaks cannot
// make one row of it.
constexpr std::uint32_t kMaxImportLineBytes = 8u << 20;

// What a member's copy may hold past the size its listing gives: the
// listed size is the archive's own word, and a stream that expands further
// (a header that lies: 3 MB that inflate to gigabytes) is stopped and taken
// for damage instead of filling the disc. The slack lets a member through
// whose writer counted a little wrong; it is small beside any real member.
constexpr std::uint64_t kMemberCopySlackBytes = 64 << 10;

// Folders the tree's expand-all (the "*" key) opens: each lists its folder
// again from the set, so a tree thousands of levels deep held the window
// for minutes. Nearest first; past the bound it stops and says so.
constexpr std::uint32_t kMaxExpandAllNodes = 1000;

// A 7z header read by the program itself (sevenz_header.h), packed and
// unpacked alike: it is read into memory whole, and unpacked through a
// dictionary as large. Real headers take some 100 bytes a member, so
// archives of several hundred thousand members fit.
constexpr std::uint32_t kMaxSevenZipHeaderBytes = 64u << 20;
