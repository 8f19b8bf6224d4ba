// The program's own records after the set object: they come back as they
// were written, leave the set object as other readers know it, and are
// dropped, with the state saying why, when they do not belong to the set.
// Also what an update does with them: the medium check and what could not
// be read.

#include <gtest/gtest.h>

#include <chrono>

#include "model/catalog_update.h"
#include "model/le_bytes.h"
#include "model/set_file.h"
#include "tests/core/test_util.h"

namespace {

CCatalogRecord SampleRecord() {
  CCatalogRecord record;
  record.medium = {"2f1c-77aa", "vfat", "CAMERA", 8000000000, "/", ""};
  record.chosenPaths = {"DCIM", std::string("caf\xe9")};
  record.bFollowLinks = true;
  record.excludes = {"*.tmp", ".git"};
  return record;
}

// A set of two catalogs, the first with a fingerprint, the second with a
// record, flagged items, a fingerprint and records of a later version.
std::unique_ptr<CRootFileInfo> SampleSet() {
  auto set = std::make_unique<CRootFileInfo>("set");
  auto plain = MakeCatalog("A");
  plain->AddChild(&static_cast<const CFindData&>(FileRecord("a.txt", 1)));
  plain->m_fingerprints.Add({{1, {7, 8}}});
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

std::string Le(std::uint64_t v, int size) {
  std::string bytes;
  PutLE(bytes, v, size);
  return bytes;
}

// Where each record of the block at the end of bytes starts: after a
// 48-byte header, 28 bytes and the payload each.
std::vector<std::size_t> RecordStarts(const std::string& bytes) {
  std::vector<std::size_t> starts;
  const std::size_t block = bytes.rfind("QRXB");
  if (block == std::string::npos) return starts;
  for (std::size_t at = block + 48; at + 28 <= bytes.size(); at += 28 + GetLE(bytes, at + 8, 4)) starts.push_back(at);
  return starts;
}

// The same records in a block of version 1: one hash over the block in a
// trailer, none per record.
std::string AsVersion1(const std::string& bytes) {
  const std::size_t block = bytes.rfind("QRXB");
  std::string out = bytes.substr(0, block + 32);
  out[block + 4] = 1;
  for (std::size_t at : RecordStarts(bytes))
    out += bytes.substr(at, 12) + bytes.substr(at + 28, GetLE(bytes, at + 8, 4));
  return out + Le(HashBytes(std::string_view(out).substr(block)), 8);
}

TEST(SetExtension, BlockOfAnotherSetObjectIsIgnored) {
  const auto set = SampleSet();
  const std::string bytes = WriteSetToBytes(*set);
  const std::string block = bytes.substr(bytes.rfind("QRXB"));

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

  // With its header damaged too, it cannot be told from damage: no record
  // is taken, and the loss is not silent.
  restamped[restamped.rfind("QRXB") + 1] ^= 1;
  ASSERT_EQ(ESetFileError::None, ReadSetFromBytes(restamped, stale));
  EXPECT_EQ(EExtensionState::Damaged, stale->m_extensionState);
  EXPECT_EQ(0u, stale->m_extensionDamage.nKept);
  EXPECT_TRUE(Catalog(*stale, 0).m_fingerprints.Empty());
}

// Each record carries its own checks: damage costs the records it touches,
// and the others are read and written back.
TEST(SetExtension, DamageCostsOnlyTheRecordsItTouches) {
  const auto set = SampleSet();
  const std::string bytes = WriteSetToBytes(*set);
  const std::size_t block = bytes.rfind("QRXB");
  const std::string setObject = bytes.substr(0, block);
  // The set's record, A's fingerprints, B's record, flags, fingerprints and two of a later version.
  const std::vector<std::size_t> at = RecordStarts(bytes);
  ASSERT_EQ(7u, at.size());
  const auto changed = [&](std::size_t offset, char value) {
    std::string damaged = bytes;
    damaged[offset] = value;
    return damaged;
  };
  struct CCase {
    const char* pszWhat;
    std::string strBytes;
    std::uint32_t nKept, nLost;
    bool bCountKnown, bStart, bCutShort;
  };
  const CCase cases[] = {
      {"a flipped byte in B's fingerprints", changed(at[4] + 28 + 5, char(bytes[at[4] + 28 + 5] ^ 0x10)), 6, 1, true,
       false, false},
      {"a damaged length of B's record", changed(at[2] + 10, '\x7f'), 6, 1, true, false, false},
      {"zeros over two records", bytes.substr(0, at[2]) + std::string(at[4] - at[2], '\0') + bytes.substr(at[4]), 5, 2,
       true, false, false},
      {"cut inside the last record", bytes.substr(0, bytes.size() - 3), 6, 1, true, false, true},
      {"cut between records", bytes.substr(0, at[6]), 6, 1, true, false, true},
      {"a damaged magic", changed(block, 'q'), 7, 0, false, true, false},
      {"a damaged count", changed(block + 24, '\x09'), 7, 0, false, true, false},
      {"a cut magic", setObject + "QR", 0, 0, false, false, true},
      {"bytes that are no block", setObject + "not a block, and never was", 0, 0, false, true, false},
  };
  for (const CCase& c : cases) {
    SCOPED_TRACE(c.pszWhat);
    std::unique_ptr<CRootFileInfo> read;
    ASSERT_EQ(ESetFileError::None, ReadSetFromBytes(c.strBytes, read));
    EXPECT_EQ(EExtensionState::Damaged, read->m_extensionState);
    const CExtensionDamage& damage = read->m_extensionDamage;
    EXPECT_EQ(c.nKept, damage.nKept);
    EXPECT_EQ(c.nLost, damage.nLost);
    EXPECT_EQ(c.bCountKnown, damage.bCountKnown);
    EXPECT_EQ(c.bStart, damage.bStart);
    EXPECT_EQ(c.bCutShort, damage.bCutShort);
    // What was kept is written back, and reads whole.
    const std::string saved = WriteSetToBytes(*read);
    EXPECT_EQ(setObject, saved.substr(0, setObject.size()));
    EXPECT_EQ(c.nKept, RecordStarts(saved).size());
    std::unique_ptr<CRootFileInfo> reread;
    ASSERT_EQ(ESetFileError::None, ReadSetFromBytes(saved, reread));
    EXPECT_EQ(c.nKept == 0 ? EExtensionState::None : EExtensionState::Loaded, reread->m_extensionState);
    EXPECT_EQ(saved, WriteSetToBytes(*reread));
  }

  // Which records: another catalog's fingerprints outlive B's.
  std::unique_ptr<CRootFileInfo> read;
  ASSERT_EQ(ESetFileError::None, ReadSetFromBytes(cases[0].strBytes, read));
  EXPECT_EQ(1u, Catalog(*read, 0).m_fingerprints.Size());
  EXPECT_TRUE(Catalog(*read, 1).m_fingerprints.Empty());
  EXPECT_TRUE(Catalog(*read, 1).m_record);
  ASSERT_EQ(ESetFileError::None, ReadSetFromBytes(cases[1].strBytes, read));
  EXPECT_FALSE(Catalog(*read, 1).m_record);
  EXPECT_EQ(1u, Catalog(*read, 1).m_fingerprints.Size());
  EXPECT_EQ(set->m_extraRecords, read->m_extraRecords);
}

TEST(SetExtension, Version1BlocksAreReadWholeOrNotAtAll) {
  const auto set = SampleSet();
  const std::string bytes = WriteSetToBytes(*set);
  const std::string older = AsVersion1(bytes);
  std::unique_ptr<CRootFileInfo> read;
  ASSERT_EQ(ESetFileError::None, ReadSetFromBytes(older, read));
  EXPECT_EQ(EExtensionState::Loaded, read->m_extensionState);
  EXPECT_EQ(bytes, WriteSetToBytes(*read));  // written in the new version

  std::string damaged = older;
  damaged[damaged.size() - 12] ^= 1;
  ASSERT_EQ(ESetFileError::None, ReadSetFromBytes(damaged, read));
  EXPECT_EQ(EExtensionState::Damaged, read->m_extensionState);
  EXPECT_EQ(0u, read->m_extensionDamage.nKept);
  EXPECT_TRUE(Catalog(*read, 0).m_fingerprints.Empty());
  EXPECT_TRUE(read->m_extraRecords.empty());
}

// Record headers that hold, each claiming the bytes up to a good record and
// failing its payload's check, then a long stretch of zeros: a reader that
// went back into a failed payload to look for the next record would hash
// for hours.
TEST(SetExtension, DamageNeverMakesReadingSlowerThanLinear) {
  CRootFileInfo set("s");
  set.AppendCatalog(MakeCatalog("A"), 0);
  const std::string setObject = WriteSetToBytes(set);
  constexpr std::size_t kHeaders = 1 << 16, kZeros = 1 << 20;
  const auto header = [](std::uint16_t type, std::uint64_t length, std::uint64_t check) {
    const std::string head = Le(type, 2) + Le(0, 2) + Le(0, 4) + Le(length, 4) + Le(check, 8);
    return head + Le(HashBytes(head), 8);
  };
  std::string records;
  for (std::size_t i = 0; i < kHeaders; ++i) records += header(90, (kHeaders - i - 1) * 28, 0);
  records += std::string(kZeros, '\0');
  const std::string fields = Le(90, 2) + Le(0, 2) + Le(0, 4) + Le(4, 4);
  records += header(90, 4, HashBytes(fields + "kept")) + "kept";
  std::string block = "QRXB" + Le(2, 2) + Le(0, 2) + Le(setObject.size(), 8) + Le(HashBytes(setObject), 8) +
                      Le(kHeaders + 2, 4) + Le(0, 4) + Le(48 + records.size(), 8);
  block += Le(HashBytes(block), 8) + records;

  const auto start = std::chrono::steady_clock::now();
  std::unique_ptr<CRootFileInfo> read;
  ASSERT_EQ(ESetFileError::None, ReadSetFromBytes(setObject + block, read));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  EXPECT_EQ(EExtensionState::Damaged, read->m_extensionState);
  EXPECT_EQ((std::vector<CExtensionRecord>{{90, 0, "kept"}}), read->m_extraRecords);
  EXPECT_EQ(kHeaders + 1, read->m_extensionDamage.nLost);
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
