// Archive members as the set file keeps them, from files of anywhere: a
// record past a limit costs that record alone, and deep trees of members
// are read, kept and torn down without deep recursion.

#include <gtest/gtest.h>

#include "model/le_bytes.h"
#include "model/limits.h"
#include "model/member_records.h"
#include "model/set_file.h"
#include "tests/core/test_util.h"

namespace {

enum : std::uint8_t { kFolder = 1, kArchive = 2 };

// One member: its parent's position, flags (and a listed archive's state).
std::string Member(std::uint32_t parent, std::uint8_t flags, const std::string& name) {
  std::string out;
  PutLE(out, parent, 4);
  out += char(flags);
  if (flags & kArchive) out += '\0';
  PutLE(out, name.size(), 2);
  out += name;
  PutLE(out, 0, 8);
  PutLE(out, 0, 8);
  return out;
}

// The members of the archive at offset: a chain of count containers of
// kind, each in the one before, and a file in the last.
std::string Chain(std::uint32_t offset, std::uint8_t kind, std::uint32_t count) {
  std::string out;
  PutLE(out, offset, 4);
  out += '\0';
  PutLE(out, count + 1, 4);
  for (std::uint32_t i = 0; i < count; ++i) out += Member(i, kind, kind == kArchive ? "a.zip" : "d");
  return out + Member(count, 0, "f.txt");
}

// A catalog with a.zip at its top and b.zip in folder d.
std::unique_ptr<CRootFileInfo> TwoArchives() {
  auto set = std::make_unique<CRootFileInfo>("set");
  auto catalog = MakeCatalog("C");
  catalog->AddChild(&static_cast<const CFindData&>(FileRecord("a.zip", 1)));
  auto* folder = static_cast<CFolderFileInfo*>(catalog->AddChild(&static_cast<const CFindData&>(FolderRecord("d"))));
  folder->AddChild(&static_cast<const CFindData&>(FileRecord("b.zip", 1)));
  set->AppendCatalog(std::move(catalog), 0);
  return set;
}

CDriveFileInfo& CatalogOf(CRootFileInfo& set) { return static_cast<CDriveFileInfo&>(*set.Children()[0]); }

TEST(MemberRecords, NestingAndDepthAreCheckedAtTheLimitAndPastIt) {
  const auto set = TwoArchives();
  CDriveFileInfo& catalog = CatalogOf(*set);
  // Depth counts below the archive, as a listing does: b.zip, in a folder,
  // holds as deep a tree as a.zip.
  EXPECT_TRUE(CheckMemberRecords(Chain(1, kArchive, kMaxArchiveNesting - 1), catalog));
  EXPECT_FALSE(CheckMemberRecords(Chain(1, kArchive, kMaxArchiveNesting), catalog));
  EXPECT_TRUE(CheckMemberRecords(Chain(1, kFolder, kMaxDepth - 1), catalog));
  EXPECT_FALSE(CheckMemberRecords(Chain(1, kFolder, kMaxDepth), catalog));
  EXPECT_TRUE(CheckMemberRecords(Chain(3, kFolder, kMaxDepth - 1), catalog));
  EXPECT_FALSE(CheckMemberRecords(Chain(3, kFolder, kMaxDepth), catalog));

  ApplyMemberRecords(Chain(1, kArchive, kMaxArchiveNesting - 1), catalog);
  const CFileInfo* inner = catalog.Children()[0].get();
  for (int i = 1; i < kMaxArchiveNesting; ++i) inner = inner->Members()->Children()[0].get();
  EXPECT_EQ("f.txt", inner->Members()->Children()[0]->GetName());
}

// 100,000 archives one in another: the set reads with that record refused
// and its other records kept, and nothing recurses a level per archive.
TEST(MemberRecords, ArchivesNestedPastTheLimitCostTheirRecordAlone) {
  const auto set = TwoArchives();
  CDriveFileInfo& catalog = CatalogOf(*set);
  catalog.m_fingerprints.Add({{1, {7, 8}}});
  CFileInfo* archive = catalog.Children()[0].get();
  CFolderFileInfo* members = &catalog.AttachMembers(*archive, 0);
  for (int i = 0; i < 100000; ++i) {
    archive = members->AddChild(&static_cast<const CFindData&>(FileRecord("a.zip", 1)));
    members = &members->AttachMembers(*archive, 0);
  }
  const std::string bytes = WriteSetToBytes(*set);
  std::unique_ptr<CRootFileInfo> read;
  ASSERT_EQ(ESetFileError::None, ReadSetFromBytes(bytes, read));
  EXPECT_EQ(EExtensionState::Damaged, read->m_extensionState);
  EXPECT_EQ(1u, read->m_extensionDamage.nLost);
  EXPECT_EQ(1u, CatalogOf(*read).m_fingerprints.Size());
  EXPECT_EQ(nullptr, CatalogOf(*read).Children()[0]->Members());
  EXPECT_EQ(2u, CatalogOf(*read).Children().size());
}

// Members keep their creation time in a record of its own, which older
// programs keep without reading; it is taken only for the members it was
// written for.
TEST(MemberRecords, CreationTimesComeBackWithTheirMembersOnly) {
  const auto set = TwoArchives();
  CDriveFileInfo& catalog = CatalogOf(*set);
  CFolderFileInfo& members = catalog.AttachMembers(*catalog.Children()[0], 0);
  CFindData made = FileRecord("made.txt", 1, 200);
  made.ftCreationTime = 100;
  members.AddChild(&made);
  CFindData copied = FileRecord("copied.txt", 1, 300);
  copied.ftCreationTime = 300;
  members.AddChild(&copied);

  std::unique_ptr<CRootFileInfo> read;
  ASSERT_EQ(ESetFileError::None, ReadSetFromBytes(WriteSetToBytes(*set), read));
  EXPECT_EQ(EExtensionState::Loaded, read->m_extensionState);
  const CFolderFileInfo& back = *CatalogOf(*read).Children()[0]->Members();
  EXPECT_EQ(100u, back.Children()[0]->CreationFileTime());
  EXPECT_EQ(300u, back.Children()[1]->CreationFileTime());
  EXPECT_EQ(WriteSetToBytes(*set), WriteSetToBytes(*read));

  // Written for members an older program has since changed: not taken.
  const std::string times = EncodeMemberTimes(catalog, EncodeMemberRecords(catalog));
  ASSERT_FALSE(times.empty());
  const_cast<CFileInfo&>(*back.Children()[0]).SetCreationFileTime(200);
  const_cast<CFileInfo&>(*back.Children()[1]).SetNoteText("changed");
  ApplyMemberTimes(times, CatalogOf(*read));
  EXPECT_EQ(200u, back.Children()[0]->CreationFileTime());
  EXPECT_FALSE(CheckMemberTimes(times.substr(1)));
}

}  // namespace
