// The program's own records after the set object: they come back as they
// were written, leave the set object as other readers know it, and are
// dropped, with the state saying why, when they do not belong to the set.
// Also what an update does with them: the medium check and what could not
// be read.

#include <gtest/gtest.h>

#include "model/catalog_update.h"
#include "model/set_file.h"
#include "tests/core/test_util.h"

namespace {

CCatalogRecord SampleRecord() {
  CCatalogRecord record;
  record.medium = {"2f1c-77aa", "vfat", "CAMERA", 8000000000, "/"};
  record.chosenPaths = {"DCIM", std::string("caf\xe9")};
  record.bFollowLinks = true;
  record.excludes = {"*.tmp", ".git"};
  return record;
}

// A set of two catalogs, the second with a record, flagged items and
// records of a later version.
std::unique_ptr<CRootFileInfo> SampleSet() {
  auto set = std::make_unique<CRootFileInfo>("set");
  auto plain = MakeCatalog("A");
  plain->AddChild(&static_cast<const CFindData&>(FileRecord("a.txt", 1)));
  set->AppendCatalog(std::move(plain), 1700000000);
  auto made = MakeCatalog("B");
  auto* folder = static_cast<CFolderFileInfo*>(made->AddChild(&static_cast<const CFindData&>(FolderRecord("d"))));
  folder->AddChild(&static_cast<const CFindData&>(FileRecord("x", 2)))->SetRealNameCp932(true);
  folder->AddChild(&static_cast<const CFindData&>(FileRecord("y", 3)))->SetUnreadable(true);
  made->m_record = SampleRecord();
  made->m_fingerprints.Add({{2, {0x0123456789abcdefULL, 0xfedcba9876543210ULL}}});
  made->m_extraRecords.push_back({77, 0, "about B"});
  made->m_extraRecords.push_back({78, 2, "about d\\x"});
  set->AppendCatalog(std::move(made), 1700000000);
  set->m_extraRecords.push_back({90, 0, "about the set"});
  return set;
}

const CDriveFileInfo& Catalog(const CRootFileInfo& set, int i) {
  return static_cast<const CDriveFileInfo&>(*set.Children()[std::size_t(i)]);
}

TEST(SetExtension, RecordsComeBackAndTheSetObjectStaysAsOthersWriteIt) {
  const auto set = SampleSet();
  const std::string bytes = WriteSetToBytes(*set);

  // Without the records the set object is the same bytes: the block only follows it.
  std::unique_ptr<CRootFileInfo> copy;
  ASSERT_EQ(ESetFileError::None, ReadSetFromBytes(bytes, copy));
  const std::size_t blockStart = bytes.rfind("QRXB");
  ASSERT_NE(std::string::npos, blockStart);
  std::unique_ptr<CRootFileInfo> withoutBlock;
  ASSERT_EQ(ESetFileError::None, ReadSetFromBytes(bytes.substr(0, blockStart), withoutBlock));
  EXPECT_EQ(EExtensionState::None, withoutBlock->m_extensionState);
  EXPECT_FALSE(Catalog(*withoutBlock, 1).m_record);
  EXPECT_EQ(bytes.substr(0, blockStart), WriteSetToBytes(*withoutBlock));

  EXPECT_EQ(EExtensionState::Loaded, copy->m_extensionState);
  EXPECT_FALSE(Catalog(*copy, 0).m_record);
  const CDriveFileInfo& made = Catalog(*copy, 1);
  ASSERT_TRUE(made.m_record);
  EXPECT_TRUE(*made.m_record == SampleRecord());
  const auto& folder = static_cast<const CFolderFileInfo&>(*made.Children()[0]);
  EXPECT_TRUE(folder.Children()[0]->IsRealNameCp932());
  EXPECT_FALSE(folder.Children()[0]->IsUnreadable());
  EXPECT_TRUE(folder.Children()[1]->IsUnreadable());
  EXPECT_EQ(Catalog(*set, 1).m_extraRecords, made.m_extraRecords);
  EXPECT_EQ("fedcba98765432100123456789abcdef", made.m_fingerprints.Find(2)->Hex());
  EXPECT_EQ(1u, made.m_fingerprints.Size());
  EXPECT_EQ(set->m_extraRecords, copy->m_extraRecords);
  // Read and not changed: written back byte for byte.
  EXPECT_EQ(bytes, WriteSetToBytes(*copy));

  // A set without records gets no block at all.
  CRootFileInfo empty("e");
  empty.AppendCatalog(MakeCatalog("A"), 0);
  EXPECT_EQ(std::string::npos, WriteSetToBytes(empty).find("QRXB"));
}

TEST(SetExtension, BlockOfAnotherSetObjectOrDamagedIsIgnored) {
  const auto set = SampleSet();
  const std::string bytes = WriteSetToBytes(*set);
  const std::size_t blockStart = bytes.rfind("QRXB");
  const std::string block = bytes.substr(blockStart);

  // Another writer changed a note and kept the trailing bytes.
  auto edited = SampleSet();
  edited->SetNoteText("changed elsewhere");
  std::string restamped = WriteSetToBytes(*edited);
  restamped = restamped.substr(0, restamped.rfind("QRXB")) + block;
  std::unique_ptr<CRootFileInfo> stale;
  ASSERT_EQ(ESetFileError::None, ReadSetFromBytes(restamped, stale));
  EXPECT_EQ(EExtensionState::Stale, stale->m_extensionState);
  EXPECT_FALSE(Catalog(*stale, 1).m_record);
  EXPECT_TRUE(Catalog(*stale, 1).m_fingerprints.Empty());
  EXPECT_FALSE(static_cast<const CFolderFileInfo&>(*Catalog(*stale, 1).Children()[0]).Children()[0]->IsRealNameCp932());

  for (const std::string& damaged : {bytes.substr(0, bytes.size() - 3), bytes.substr(0, blockStart + 10), [&] {
                                       std::string flipped = bytes;
                                       flipped[blockStart + 40] ^= 1;
                                       return flipped;
                                     }()}) {
    std::unique_ptr<CRootFileInfo> read;
    ASSERT_EQ(ESetFileError::None, ReadSetFromBytes(damaged, read));
    EXPECT_EQ(EExtensionState::Damaged, read->m_extensionState);
    EXPECT_FALSE(Catalog(*read, 1).m_record);
    EXPECT_TRUE(read->m_extraRecords.empty());
  }
}

TEST(SetExtension, FileWriterAndReaderAgreeWithTheMemoryOnes) {
  CTempDir temp;
  const auto set = SampleSet();
  ASSERT_EQ(ESetFileError::None, WriteSetFile(temp.File("s.fcf"), *set));
  EXPECT_EQ(WriteSetToBytes(*set), ReadFileBytes(temp.File("s.fcf")));
  std::unique_ptr<CRootFileInfo> read;
  ASSERT_EQ(ESetFileError::None, ReadSetFile(temp.File("s.fcf"), read));
  EXPECT_EQ(EExtensionState::Loaded, read->m_extensionState);
  EXPECT_TRUE(Catalog(*read, 1).m_record);
}

TEST(UpdateKeepsUnreadable, PlacesNotReadKeepTheirItemsAndNotes) {
  CRootFileInfo set("set");
  auto old = MakeCatalog("disk");
  auto* locked = static_cast<CFolderFileInfo*>(old->AddChild(&static_cast<const CFindData&>(FolderRecord("locked"))));
  locked->AddChild(&static_cast<const CFindData&>(FileRecord("a.txt", 10)))->SetNoteText("n");
  old->AddChild(&static_cast<const CFindData&>(FileRecord("f.txt", 5, 777)));
  CDriveFileInfo* catalog = set.AppendCatalog(std::move(old), 0);

  auto fresh = MakeCatalog("disk");
  fresh->AddChild(&static_cast<const CFindData&>(FolderRecord("locked")))->SetUnreadable(true);
  fresh->AddChild(&static_cast<const CFindData&>(FileRecord("f.txt", 0)))->SetUnreadable(true);
  KeepUnreadable(*catalog, *fresh);
  const CUpdateSummary summary = CompareCatalogs(*catalog, *fresh);
  EXPECT_FALSE(summary.HasChanges());
  EXPECT_EQ(2u, summary.unreadable.nCount);
  EXPECT_EQ((std::vector<std::string>{"disk\\f.txt", "disk\\locked"}), summary.unreadable.firstPaths);

  ApplyCatalogUpdate(set, *catalog, std::move(fresh), 1);
  std::string note;
  set.GetNote("disk\\locked\\a.txt", note);
  EXPECT_EQ("n", note);
  EXPECT_EQ(5u, FindByPath(static_cast<const CFileInfo*>(&set), "disk\\f.txt")->GetSize());
}

}  // namespace
