// Archives listed through libarchive: the fixtures are real archives made by
// Debian's archivers (tests/fixtures/make_archives.sh). What they hold, how
// hostile ones end, and how members live on in the set, its searches and
// its updates.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "model/archive_extract.h"
#include "model/archive_reading.h"
#include "model/catalog_update.h"
#include "model/le_bytes.h"
#include "model/set_file.h"
#include "model/sevenz_header.h"
#include "platform/file_time.h"
#include "tests/core/test_util.h"

namespace {

std::string FixtureDir() {
  const char* dir = std::getenv("QUARRIX_ARCHIVE_FIXTURES");
  return dir != nullptr && std::filesystem::exists(std::string(dir) + "/.done") ? dir : std::string();
}

// Fails every read after the first: a medium that gives up part-way.
class CGivingUpReader : public CContentReader {
 public:
  CGivingUpReader() : m_pReal(MakeFileContentReader()) {}
  EContentOpen Open(const std::string& path) override { return m_pReal->Open(path); }
  std::ptrdiff_t Read(void* buffer, std::size_t size) override {
    return m_nReads++ > 0 ? -1 : m_pReal->Read(buffer, std::min<std::size_t>(size, 100));
  }
  std::int64_t Seek(std::int64_t offset, int whence) override { return m_pReal->Seek(offset, whence); }
  void Close() override { m_pReal->Close(); }

 private:
  std::unique_ptr<CContentReader> m_pReal;
  int m_nReads = 0;
};

class ArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_strDir = FixtureDir();
    if (m_strDir.empty()) GTEST_SKIP() << "no archive fixtures (tests/fixtures/make_archives.sh)";
    m_pSet = std::make_unique<CRootFileInfo>("set");
    m_pCatalog = m_pSet->AppendCatalog(MakeCatalog("C"), 0);
  }

  // Lists the fixture name as a file of the catalog; returns its state.
  std::uint8_t List(const std::string& name, CArchiveLimits limits = {}, CContentReader* reader = nullptr) {
    const CFindData record = FileRecord(name, 1);
    CFileInfo& item = *m_pCatalog->AddChild(&record);
    const auto real = MakeFileContentReader();
    std::uint8_t state = 0;
    EXPECT_EQ(EListArchive::Listed, ListArchive(reader != nullptr ? *reader : *real, m_strDir + "/" + name,
                                                m_pCatalog->AttachMembers(item, 0), limits, nullptr, state));
    item.SetArchiveState(state);
    return state;
  }

  // The logical paths of the members of the archive name, below it.
  std::vector<std::string> Members(const std::string& name) const {
    std::vector<std::string> paths;
    const CFileInfo* archive = FindByPath(static_cast<const CFileInfo*>(m_pCatalog), name);
    WalkBelow(
        *archive->Members(), "",
        [&](const CFileInfo& item, const CWalkPath& parent) { paths.push_back(parent.PathOf(item).substr(1)); },
        [](const CFolderFileInfo&) {}, EWalk::WithMembers);
    std::sort(paths.begin(), paths.end());
    return paths;
  }

  std::string m_strDir;
  std::unique_ptr<CRootFileInfo> m_pSet;
  CDriveFileInfo* m_pCatalog = nullptr;
};

bool Holds(const std::vector<std::string>& paths, const std::string& path) {
  return std::find(paths.begin(), paths.end(), path) != paths.end();
}

TEST_F(ArchiveTest, EveryFormatListsItsMembersWithTheirJapaneseNames) {
  for (const char* name : {"plain.zip", "utf8.zip", "plain.7z", "plain.tar", "plain.tar.gz", "plain.tar.bz2",
                           "plain.tar.xz", "plain.iso"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(0, List(name));
    const auto paths = Members(name);
    EXPECT_TRUE(Holds(paths, "日本語.txt") && Holds(paths, "sub\\readme.txt") && Holds(paths, "sub\\深い\\x.txt"));
  }
  // Names stored as CP932 bytes read as their text.
  EXPECT_EQ(0, List("sjis.zip"));
  EXPECT_EQ(std::vector<std::string>{"日本語.txt"}, Members("sjis.zip"));
  EXPECT_EQ(0, List("sjis.lzh"));
  EXPECT_EQ((std::vector<std::string>{"日本語.txt", "資料", "資料\\メモ.txt"}), Members("sjis.lzh"));
  for (const char* name : {"latin.7z", "latin.zip"}) {
    EXPECT_EQ(0, List(name));
    EXPECT_EQ(std::vector<std::string>{"café.txt"}, Members(name)) << name;
  }
  EXPECT_EQ(0, List("plain.lzh"));
  EXPECT_TRUE(Holds(Members("plain.lzh"), "sub\\readme.txt"));
  const CFileInfo* text = FindByPath(static_cast<const CFileInfo*>(m_pCatalog), "plain.zip\\日本語.txt");
  ASSERT_NE(nullptr, text);
  EXPECT_EQ(12u, text->GetSize());
  EXPECT_TRUE(text->IsInArchive());
}

TEST_F(ArchiveTest, HostileArchivesAreListedAsFarAsTheyReadAndMarked) {
  EXPECT_EQ(kArchiveDamaged, List("broken.zip"));
  EXPECT_TRUE(Holds(Members("broken.zip"), "日本語.txt"));
  EXPECT_EQ(kArchiveEncrypted, List("encrypted.zip"));
  EXPECT_EQ(5u, Members("encrypted.zip").size());
  EXPECT_TRUE(List("encrypted.7z") & kArchiveEncrypted);
  // libarchive reads a 7z link's target with its header and cannot decrypt
  // it: the members after the link are read from the header.
  EXPECT_EQ(kArchiveEncrypted, List("encrypted-link.7z"));
  EXPECT_EQ(12u, Members("encrypted-link.7z").size());
  EXPECT_TRUE(Holds(Members("encrypted-link.7z"), "m07.txt"));

  CArchiveLimits few;
  few.nMaxMembers = 1000;
  EXPECT_EQ(kArchiveCapped, List("many.zip", few));
  EXPECT_EQ(1000u, Members("many.zip").size());

  // A path that climbs out breaks the name rule: that member alone is left out, and counted.
  EXPECT_EQ(kArchiveLeftOut, List("climb.zip"));
  const auto climbed = Members("climb.zip");
  EXPECT_TRUE(Holds(climbed, "abs\\path.txt") && !Holds(climbed, "..\\..\\evil.txt") && climbed.size() == 4);

  CGivingUpReader givingUp;
  EXPECT_EQ(kArchiveDamaged, List("plain.tar.gz", {}, &givingUp));
}

// A 7z's file list read from its header, as the listing reads it.
bool ReadMembers(const std::string& bytes, std::vector<CSevenZipMember>& members) {
  CMemoryContentReader memory(bytes);
  CArchiveReadLimits reading(memory, 60, nullptr);
  return ReadSevenZipMembers(
      [&](std::uint64_t offset, std::size_t size, std::string& out) { return reading.ReadAt(offset, size, out); },
      members);
}

TEST_F(ArchiveTest, SevenZipMembersPastAnEncryptedLinkComeFromTheHeader) {
  // Folders, an empty file and a file in a folder, the header unpacked,
  // served from memory as an archive inside another is.
  const std::string bytes = ReadFileBytes(m_strDir + "/encrypted-tree.7z");
  CMemoryContentReader memory(bytes);
  EXPECT_EQ(kArchiveEncrypted, List("encrypted-tree.7z", {}, &memory));
  const auto paths = Members("encrypted-tree.7z");
  EXPECT_EQ(16u, paths.size());
  EXPECT_TRUE(Holds(paths, "sub\\leer") && Holds(paths, "sub\\m13.txt") && Holds(paths, "empty.txt"));
  const CFileInfo* last = FindByPath(static_cast<const CFileInfo*>(m_pCatalog), "encrypted-tree.7z\\m12.txt");
  ASSERT_NE(nullptr, last);
  EXPECT_EQ(3u, last->GetSize());
  EXPECT_EQ(UnixToFileTime(981173106, 0), last->WriteFileTime());  // 2001-02-03 04:05:06 UTC
  EXPECT_EQ(last->WriteFileTime(), last->CreationFileTime());

  std::vector<CSevenZipMember> members;
  ASSERT_TRUE(ReadMembers(bytes, members));
  ASSERT_EQ(16u, members.size());
  EXPECT_TRUE(members[0].strPath == "sub" && members[0].bFolder && members[1].bFolder);
  EXPECT_TRUE(members[2].strPath == "empty.txt" && !members[2].bFolder && members[2].nSize == 0);
  EXPECT_TRUE(members[9].strPath == "m07.txt" && members[9].nSize == 7);
  EXPECT_TRUE(members[15].strPath == "sub/m13.txt" && members[15].nSize == 3 && !members[15].bFolder);
  // The header packed with LZMA, as 7-Zip writes it.
  ASSERT_TRUE(ReadMembers(ReadFileBytes(m_strDir + "/encrypted-link.7z"), members));
  ASSERT_EQ(12u, members.size());
  EXPECT_TRUE(members[11].strPath == "m12.txt" && members[11].nSize == 3);
  EXPECT_EQ(UnixToFileTime(981173106, 0), members[11].nMTime);
}

TEST_F(ArchiveTest, DamagedSevenZipHeadersAreGivenUpOnWhole) {
  std::vector<CSevenZipMember> members;
  for (const char* name : {"encrypted-link.7z", "encrypted-tree.7z"}) {
    SCOPED_TRACE(name);
    const std::string bytes = ReadFileBytes(m_strDir + "/" + name);
    for (std::size_t size = 0; size < bytes.size(); ++size) EXPECT_FALSE(ReadMembers(bytes.substr(0, size), members));
    std::string flipped = bytes;
    flipped[flipped.size() - 3] ^= 1;
    EXPECT_FALSE(ReadMembers(flipped, members));
    // With the CRCs made to agree, every change reaches the parser, which
    // refuses it or reads what it says, within the buffer (the sanitizer
    // watches).
    for (std::size_t at = 12; at < bytes.size(); ++at)
      for (const auto change : {+[](char c) { return char(c ^ 1); }, +[](char) { return '\xFF'; }}) {
        std::string changed = bytes;
        changed[at] = change(changed[at]);
        const std::uint64_t offset = GetLE(changed, 12, 8), size = GetLE(changed, 20, 8);
        if (offset <= changed.size() - 32 && size <= changed.size() - 32 - offset) {
          std::string crc;
          PutLE(crc, SevenZipCrc(std::string_view(changed).substr(32 + offset, size)), 4);
          changed.replace(28, 4, crc);
        }
        std::string start;
        PutLE(start, SevenZipCrc(std::string_view(changed).substr(12, 20)), 4);
        changed.replace(8, 4, start);
        EXPECT_TRUE(!ReadMembers(changed, members) || members.size() <= 16u);
      }
  }
}

TEST_F(ArchiveTest, ArchivesInsideArchivesAreListedOnlyToTheDepthAskedAndWithinLimits) {
  EXPECT_EQ(0, List("nested.zip"));
  EXPECT_EQ(nullptr, FindByPath(static_cast<const CFileInfo*>(m_pCatalog), "nested.zip\\inner.zip")->Members());

  m_pCatalog = m_pSet->AppendCatalog(MakeCatalog("D"), 0);
  CArchiveLimits deep;
  deep.nDepth = 2;
  deep.nMaxNestedBytes = 150000;
  EXPECT_EQ(0, List("nested.zip", deep));
  const auto paths = Members("nested.zip");
  EXPECT_TRUE(Holds(paths, "inner.zip\\sub\\readme.txt"));
  // The bomb's member is listed from its header, never inflated.
  const CFileInfo* zeros = FindByPath(static_cast<const CFileInfo*>(m_pCatalog), "nested.zip\\bomb.zip\\zeros.bin");
  ASSERT_NE(nullptr, zeros);
  EXPECT_EQ(100000000u, zeros->GetSize());
  // The tar.gz is larger than an archive inside another may be to be read.
  EXPECT_EQ(kArchiveCapped,
            FindByPath(static_cast<const CFileInfo*>(m_pCatalog), "nested.zip\\inner.tar.gz")->ArchiveState());

  CMemberPath where;
  ASSERT_TRUE(SplitMemberPath(*m_pSet, "D\\nested.zip\\inner.zip\\sub\\readme.txt", where));
  EXPECT_EQ("D\\nested.zip", where.strArchive);
  const std::vector<std::vector<std::string>> levels{{"inner.zip"}, {"sub", "readme.txt"}};
  EXPECT_EQ(levels, where.levels);
  std::string bytes;
  const auto reader = MakeFileContentReader();
  EXPECT_EQ(EExtract::Done,
            ExtractMember(*reader, m_strDir + "/nested.zip", levels, 7, [&](const char* data, std::size_t size) {
              bytes.append(data, size);
              return true;
            }));
  EXPECT_EQ("readme\n", bytes);
}

TEST_F(ArchiveTest, MembersComeBackFromTheSetFileWithNotesAndAreFound) {
  CArchiveLimits deep;
  deep.nDepth = 2;
  List("nested.zip", deep);
  List("broken.zip");
  FindByPath(static_cast<CFileInfo*>(m_pCatalog), "nested.zip\\inner.zip\\sub\\readme.txt")->SetNoteText("読んで");
  const std::string bytes = WriteSetToBytes(*m_pSet);
  std::unique_ptr<CRootFileInfo> copy;
  ASSERT_EQ(ESetFileError::None, ReadSetFromBytes(bytes, copy));
  EXPECT_EQ(EExtensionState::Loaded, copy->m_extensionState);
  EXPECT_EQ(bytes, WriteSetToBytes(*copy));
  EXPECT_EQ(kArchiveDamaged, FindByPath(static_cast<const CFileInfo*>(copy.get()), "C\\broken.zip")->ArchiveState());

  CItemSummaryList found;
  copy->FindByNote("", "読んで", false, false, found);
  ASSERT_EQ(1u, found.size());
  EXPECT_EQ("C\\nested.zip\\inner.zip\\sub\\readme.txt", found[0]->m_strPath);
  EXPECT_EQ("inner.zip", found[0]->m_strArchive);
}

TEST_F(ArchiveTest, AnUpdateListsChangedArchivesAgainAndKeepsTheirMembersNotes) {
  CTempDir disk;
  std::filesystem::copy_file(m_strDir + "/plain.zip", disk.File("a.zip"));
  std::filesystem::copy_file(m_strDir + "/plain.7z", disk.File("b.7z"));
  CScanOptions options;
  options.nArchiveDepth = 1;
  std::unique_ptr<CDriveFileInfo> made;
  std::string message;
  ASSERT_EQ(EScanStatus::Done, MakeCatalog("disk", {disk.Path()}, options, made, message));
  CDriveFileInfo* catalog = m_pSet->AppendCatalog(std::move(made), 0);
  FindByPath(static_cast<CFileInfo*>(catalog), "a.zip\\sub\\readme.txt")->SetNoteText("zip");
  FindByPath(static_cast<CFileInfo*>(catalog), "b.7z\\sub\\readme.txt")->SetNoteText("7z");

  // a.zip changes (now the one with UTF-8 flags); b.7z stays.
  std::filesystem::remove(disk.File("a.zip"));
  std::filesystem::copy_file(m_strDir + "/utf8.zip", disk.File("a.zip"));
  std::unique_ptr<CDriveFileInfo> fresh;
  ASSERT_EQ(EScanStatus::Done, ScanForUpdate(*catalog, disk.Path(), RecordedScanOptions(*catalog), fresh, message));
  catalog = ApplyCatalogUpdate(*m_pSet, *catalog, std::move(fresh), 1);
  ASSERT_NE(nullptr, catalog);
  EXPECT_EQ(1, catalog->m_record->nArchiveDepth);
  EXPECT_EQ("zip", FindByPath(static_cast<const CFileInfo*>(catalog), "a.zip\\sub\\readme.txt")->GetNote());
  EXPECT_EQ("7z", FindByPath(static_cast<const CFileInfo*>(catalog), "b.7z\\sub\\readme.txt")->GetNote());
}

}  // namespace
