#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <random>

#include "model/set_file.h"
#include "tests/core/test_util.h"

namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out += char(v);
  return out;
}

ESetFileError ReadError(const std::string& bytes) {
  std::unique_ptr<CRootFileInfo> set;
  const ESetFileError error = ReadSetFromBytes(bytes, set);
  EXPECT_EQ(error == ESetFileError::None, set != nullptr);
  return error;
}

std::unique_ptr<CRootFileInfo> Reload(const std::string& bytes) {
  std::unique_ptr<CRootFileInfo> set;
  EXPECT_EQ(ReadSetFromBytes(bytes, set), ESetFileError::None);
  return set;
}

CFileInfo* Add(CFolderFileInfo& folder, const CFindData& record) { return folder.AddChild(&record); }

// Two catalogs with nested folders, notes, Japanese and non-CP932 names.
std::unique_ptr<CRootFileInfo> SampleSet() {
  auto set = std::make_unique<CRootFileInfo>("sample");
  set->SetNoteText("set note");
  auto disc = MakeCatalog("Disc 1");
  Add(*disc, FileRecord("readme.txt", 1234, 130000000000000000ULL));
  auto* docs = static_cast<CFolderFileInfo*>(Add(*disc, FolderRecord("文書")));
  docs->SetNoteText("日本語のノート");
  Add(*docs, FileRecord("表計算.xls", 5, 130000000000000001ULL))->SetNoteText("note é");
  Add(*docs, FileRecord("café.txt", 0));
  auto* deep = static_cast<CFolderFileInfo*>(Add(*docs, FolderRecord("deep")));
  Add(*deep, FileRecord("ﾊﾝｶｸ", 99));
  set->AppendCatalog(std::move(disc), 2000);
  auto other = MakeCatalog("Other");
  Add(*other, FileRecord("x", 1));
  set->AppendCatalog(std::move(other), 3000);
  return set;
}

}  // namespace

TEST(SetFile, EmptySetIsTheWorked71ByteExample) {
  CRootFileInfo set("x");
  set.m_timeUpdated = 0x12345678;
  const std::string bytes = WriteSetToBytes(set);
  std::string expected = Bytes({0xFF, 0xFF, 0x02, 0x00, 0x0D, 0x00}) + "CRootFileInfo" + Bytes({0, 0});
  expected += std::string(40, '\0');
  expected += Bytes({0, 0, 0, 0, 0, 0, 0x78, 0x56, 0x34, 0x12});
  ASSERT_EQ(bytes.size(), 71u);
  EXPECT_EQ(bytes, expected);

  auto loaded = Reload(bytes);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->GetCatalogCount(), 0);
  EXPECT_EQ(loaded->m_timeUpdated, 0x12345678);
}

TEST(SetFile, ClassTagsAndIndexesOfACatalogWithFiles) {
  CRootFileInfo set("x");
  auto catalog = MakeCatalog("L");
  Add(*catalog, FileRecord("a", 1));
  Add(*catalog, FileRecord("b", 2));
  set.AppendCatalog(std::move(catalog), 7);
  const std::string bytes = WriteSetToBytes(set);
  // The set's child count, then the catalog's new-class tag.
  const std::string catalogTag = Bytes({1, 0, 0, 0, 0xFF, 0xFF, 2, 0, 0x0E, 0}) + "CDriveFileInfo" + Bytes({1}) + "L";
  EXPECT_NE(bytes.find(catalogTag), std::string::npos);
  const std::size_t fileTag = bytes.find(Bytes({0xFF, 0xFF, 2, 0, 9, 0}) + "CFileInfo" + Bytes({3}) + "L\\a");
  EXPECT_NE(fileTag, std::string::npos);
  // The second file refers to class index 5.
  EXPECT_NE(bytes.find(Bytes({0x05, 0x80, 3}) + "L\\b"), std::string::npos);
}

TEST(SetFile, StringLengthPrefixes) {
  struct {
    std::size_t length;
    std::string prefix;
  } cases[] = {
      {0, Bytes({0})},
      {254, Bytes({0xFE})},
      {255, Bytes({0xFF, 0xFF, 0x00})},
      {65533, Bytes({0xFF, 0xFD, 0xFF})},
      {65534, Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
      {70000, Bytes({0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00})},
  };
  for (const auto& c : cases) {
    CRootFileInfo set("x");
    set.SetNoteText(std::string(c.length, 'n'));
    const std::string bytes = WriteSetToBytes(set);
    // The note follows the class tag and the empty path.
    EXPECT_EQ(bytes.substr(20, c.prefix.size()), c.prefix) << c.length;
    auto loaded = Reload(bytes);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->GetNote(), set.GetNote());
  }
}

TEST(SetFile, SampleSetRoundTripsWithPathsNamesAndFacts) {
  auto set = SampleSet();
  const std::string bytes = WriteSetToBytes(*set);
  auto loaded = Reload(bytes);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(WriteSetToBytes(*loaded), bytes);
  EXPECT_EQ(loaded->GetNote(), "set note");
  EXPECT_EQ(loaded->m_timeUpdated, 3000);

  const auto* disc = static_cast<const CDriveFileInfo*>(FindByPath(loaded.get(), "Disc 1"));
  ASSERT_TRUE(disc && disc->IsCatalog());
  EXPECT_EQ(disc->m_timeCataloged, 2000);
  EXPECT_EQ(disc->m_strMachineName, "host");
  EXPECT_EQ(disc->m_strMediaType, "固定ディスク");
  EXPECT_EQ(disc->m_nTotalBytes, 5000000000ULL);
  EXPECT_EQ(disc->m_strCatalogedPath, "/data/Disc 1");

  const CFileInfo* sheet = FindByPath(loaded.get(), "Disc 1\\文書\\表計算.xls");
  ASSERT_TRUE(sheet);
  EXPECT_EQ(sheet->GetNote(), "note é");
  EXPECT_EQ(sheet->WriteFileTime(), 130000000000000001ULL);
  EXPECT_TRUE(FindByPath(loaded.get(), "Disc 1\\文書\\café.txt"));
  CItemSummaryList found;
  loaded->FindByName("", "ﾊﾝｶｸ", true, true, found);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0]->m_strPath, "Disc 1\\文書\\deep\\ﾊﾝｶｸ");
}

TEST(SetFile, TextCp932CannotHoldIsWrittenWide) {
  CRootFileInfo set("x");
  set.SetNoteText("é😀");
  const std::string bytes = WriteSetToBytes(set);
  // Marker, then three UTF-16 units.
  EXPECT_EQ(bytes.substr(20, 4), Bytes({0xFF, 0xFE, 0xFF, 3}));
  EXPECT_EQ(bytes.substr(24, 6), Bytes({0xE9, 0, 0x3D, 0xD8, 0x00, 0xDE}));
  EXPECT_EQ(Reload(bytes)->GetNote(), "é😀");
}

TEST(SetFile, Cp932TextIsWrittenByteForByte) {
  CRootFileInfo set("x");
  set.SetNoteText("表ｱ");
  const std::string bytes = WriteSetToBytes(set);
  EXPECT_EQ(bytes.substr(20, 4), Bytes({3, 0x95, 0x5C, 0xB1}));
}

TEST(SetFile, SizeWordsOfFiveGigabytes) {
  CRootFileInfo set("x");
  auto catalog = MakeCatalog("L");
  Add(*catalog, FileRecord("big", 5000000000ULL));
  set.AppendCatalog(std::move(catalog), 0);
  const std::string bytes = WriteSetToBytes(set);
  // A file's size: high word first. 5e9 = 0x1_2A05F200.
  EXPECT_NE(bytes.find(Bytes({1, 0, 0, 0, 0x00, 0xF2, 0x05, 0x2A})), std::string::npos);
  // The catalog's total: low word first.
  EXPECT_NE(bytes.find(Bytes({0x00, 0xF2, 0x05, 0x2A, 1, 0, 0, 0})), std::string::npos);
  auto loaded = Reload(bytes);
  EXPECT_EQ(FindByPath(loaded.get(), "L\\big")->GetSize(), 5000000000ULL);
}

TEST(SetFile, ClassIndexBeyond7FFFUsesTheLongForm) {
  CRootFileInfo set("x");
  auto catalog = MakeCatalog("L");
  for (int i = 0; i < 40000; ++i) Add(*catalog, FileRecord("f" + std::to_string(i), i));
  for (int i = 0; i < 3; ++i) {
    auto* folder = static_cast<CFolderFileInfo*>(Add(*catalog, FolderRecord("d" + std::to_string(i))));
    Add(*folder, FileRecord("inner", 1));
  }
  set.AppendCatalog(std::move(catalog), 0);
  const std::string bytes = WriteSetToBytes(set);
  // set class 1, set 2, catalog class 3, catalog 4, file class 5, files 6..40005,
  // so the folder class takes 40006 = 0x9C46.
  EXPECT_NE(bytes.find(Bytes({0xFF, 0xFF, 2, 0, 15, 0}) + "CFolderFileInfo"), std::string::npos);
  EXPECT_NE(bytes.find(Bytes({0xFF, 0x7F, 0x46, 0x9C, 0x00, 0x80, 4}) + "L\\d1"), std::string::npos);
  auto loaded = Reload(bytes);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(WriteSetToBytes(*loaded), bytes);
  EXPECT_TRUE(FindByPath(loaded.get(), "L\\d2\\inner"));
}

TEST(SetFile, OtherSchemaNumbersAreReadWithTheSameLayout) {
  CRootFileInfo set("x");
  set.m_timeUpdated = 5;
  std::string bytes = WriteSetToBytes(set);
  bytes[2] = 3;
  auto loaded = Reload(bytes);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->m_timeUpdated, 5);
}

TEST(SetFile, WideStringsFromOtherWriters) {
  CRootFileInfo set("x");
  std::string bytes = WriteSetToBytes(set);
  // Replace the empty note with FF FE FF, two units "表A".
  bytes.replace(20, 1, Bytes({0xFF, 0xFE, 0xFF, 2, 0x68, 0x88, 0x41, 0x00}));
  EXPECT_EQ(Reload(bytes)->GetNote(), "表A");
}

// A set from another writer goes back byte for byte: CP932 bytes that are
// no character, codes CP932 holds twice, and wide strings (also empty ones
// and unpaired surrogates), in the set's, an item's and a catalog's fields.
TEST(SetFile, StringsOfOtherWritersWriteBackByteForByte) {
  const std::string bodies[] = {Bytes({1, 0x80}),
                                Bytes({1, 0xA0}),
                                Bytes({3, 0xFD, 0xFE, 0xFF}),
                                Bytes({2, 0x85, 0x40}),
                                Bytes({3, 0x8A, 0x20, 'b'}),
                                Bytes({2, 'a', 0x8A}),
                                Bytes({2, 0x87, 0x90}),
                                Bytes({2, 0xED, 0x40}),
                                Bytes({2, 0xEE, 0xEF}),
                                Bytes({2, 0xFA, 0x4A}),
                                Bytes({2, 0xFA, 0x5B}),
                                Bytes({0xFF, 0xFE, 0xFF, 0}),
                                Bytes({0xFF, 0xFE, 0xFF, 2, 0x68, 0x88, 0x41, 0}),
                                Bytes({0xFF, 0xFE, 0xFF, 2, 0x00, 0xD8, 0x41, 0}),
                                Bytes({0xFF, 0xFE, 0xFF, 1, 0x00, 0xDC})};
  const std::string sample = WriteSetToBytes(*SampleSet());
  const std::string fileName = Bytes({10}) + "readme.txt";
  const std::string machine = Bytes({4}) + "host";
  for (const std::string& body : bodies) {
    std::string bytes = WriteSetToBytes(CRootFileInfo("x"));
    bytes.replace(20, 1, body);  // the set's note
    auto loaded = Reload(bytes);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(WriteSetToBytes(*loaded), bytes);

    bytes = sample;
    bytes.replace(bytes.find(fileName), fileName.size(), body);
    bytes.replace(bytes.find(machine), machine.size(), body);
    loaded = Reload(bytes);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(WriteSetToBytes(*loaded), bytes);
  }
  // Duplicates read as their character; a changed note goes out the usual way.
  std::string bytes = WriteSetToBytes(CRootFileInfo("x"));
  bytes.replace(20, 1, Bytes({2, 0xFA, 0x4A}));
  auto loaded = Reload(bytes);
  EXPECT_EQ(loaded->GetNote(), "Ⅰ");
  loaded->SetNoteText(loaded->GetNote());
  EXPECT_EQ(WriteSetToBytes(*loaded).substr(20, 3), Bytes({2, 0x87, 0x54}));
}

// Sets written before a "\\" in a name became an escape: the items are
// reached through the escape, and the set still writes back byte for byte.
TEST(SetFile, BackslashesInNamesOfOlderSetsAreReachable) {
  CRootFileInfo set("x");
  auto catalog = MakeCatalog("L");
  auto* folder = static_cast<CFolderFileInfo*>(Add(*catalog, FolderRecord("a\\b")));
  Add(*folder, FileRecord("sub\\c.txt"));
  Add(*folder, FileRecord("d.txt"));
  set.AppendCatalog(std::move(catalog), 0);
  const std::string bytes = WriteSetToBytes(set);  // names kept "\\" as it was
  auto loaded = Reload(bytes);
  ASSERT_TRUE(loaded);
  const std::string escape = "\xEE\xBD\x9C";  // U+EF5C
  EXPECT_TRUE(FindByPath(loaded.get(), "L\\a" + escape + "b\\sub" + escape + "c.txt"));
  CItemSummaryList found;
  loaded->FindByName("", "d.txt", true, true, found);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0]->m_strPath, "L\\a" + escape + "b\\d.txt");
  EXPECT_EQ(WriteSetToBytes(*loaded), bytes);
}

TEST(SetFile, MalformedFilesGiveTypedErrors) {
  const std::string good = WriteSetToBytes(*SampleSet());
  EXPECT_EQ(ReadError(""), ESetFileError::EmptyFile);
  EXPECT_EQ(ReadError(good.substr(0, good.size() - 1)), ESetFileError::EndOfFile);
  EXPECT_EQ(ReadError(good + "trailing bytes"), ESetFileError::None);

  // The first object must be a set.
  std::string file = Bytes({0xFF, 0xFF, 2, 0, 9, 0}) + "CFileInfo" + std::string(46, '\0');
  EXPECT_EQ(ReadError(file), ESetFileError::BadClass);
  std::string unknown = good;
  unknown.replace(6, 13, "CRootFileInfX");
  EXPECT_EQ(ReadError(unknown), ESetFileError::BadClass);

  // Class names of 63 and 64 bytes.
  EXPECT_EQ(ReadError(Bytes({0xFF, 0xFF, 2, 0, 63, 0}) + std::string(63, 'C') + std::string(50, '\0')),
            ESetFileError::BadClass);
  EXPECT_EQ(ReadError(Bytes({0xFF, 0xFF, 2, 0, 64, 0}) + std::string(64, 'C')), ESetFileError::BadClass);

  // References to objects or classes that are not there.
  EXPECT_EQ(ReadError(Bytes({0x00, 0x00})), ESetFileError::BadObject);
  EXPECT_EQ(ReadError(Bytes({0x05, 0x00})), ESetFileError::BadIndex);
  EXPECT_EQ(ReadError(Bytes({0x01, 0x80})), ESetFileError::BadIndex);
  std::string objectAsClass = WriteSetToBytes(CRootFileInfo("x"));
  objectAsClass.replace(63, 4, Bytes({1, 0, 0, 0}));  // one child, which refers to index 2, the set
  EXPECT_EQ(ReadError(objectAsClass.substr(0, 67) + Bytes({0x02, 0x80})), ESetFileError::BadClass);
  EXPECT_EQ(ReadError(objectAsClass.substr(0, 67) + Bytes({0x02, 0x00})), ESetFileError::BadObject);

  // A nested wide marker announces nothing readable.
  std::string wide = WriteSetToBytes(CRootFileInfo("x"));
  wide.replace(20, 1, Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF}));
  EXPECT_EQ(ReadError(wide), ESetFileError::BadString);

  for (ESetFileError e : {ESetFileError::EndOfFile, ESetFileError::BadIndex, ESetFileError::BadClass,
                          ESetFileError::BadObject, ESetFileError::NameTooLong, ESetFileError::BadString})
    EXPECT_TRUE(IsMalformed(e));
  EXPECT_FALSE(IsMalformed(ESetFileError::NotFound));
}

// Whatever name the writer writes opens again: the longest a Linux file
// system gives (255 UTF-16 units of kanji, 510 CP932 bytes) and names longer
// than the old 260-byte field. Only a name no item can hold is refused.
TEST(SetFile, NamesLongerThanTheirFieldAreReadBack) {
  auto build = [](const std::string& name, const std::string& shortName) {
    CRootFileInfo set("x");
    auto catalog = MakeCatalog("L");
    CFindData record = FileRecord(name);
    record.cAlternateFileName = shortName;
    Add(*catalog, record);
    set.AppendCatalog(std::move(catalog), 0);
    return WriteSetToBytes(set);
  };
  std::string kanji;
  for (int i = 0; i < 255; ++i) kanji += "漢";
  for (const std::string& name : {kanji, std::string(260, 'a')}) {
    const std::string bytes = build(name, std::string(14, 'B'));
    auto loaded = Reload(bytes);
    ASSERT_TRUE(loaded);
    ASSERT_TRUE(FindByPath(loaded.get(), "L\\" + name));
    EXPECT_EQ(WriteSetToBytes(*loaded), bytes);
  }
  std::string garbage = build(std::string(300, 'n'), "");
  garbage.replace(garbage.find(Bytes({0xFF, 0x2C, 0x01, 'n'})), 303,
                  Bytes({0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}) + std::string(0x10000, 'n'));
  EXPECT_EQ(ReadError(garbage), ESetFileError::NameTooLong);
}

TEST(SetFileRobustness, EveryTruncationFailsCleanly) {
  const std::string good = WriteSetToBytes(*SampleSet());
  for (std::size_t n = 0; n < good.size(); ++n) {
    const ESetFileError error = ReadError(good.substr(0, n));
    EXPECT_TRUE(n == 0 ? error == ESetFileError::EmptyFile : IsMalformed(error)) << n;
  }
}

TEST(SetFileRobustness, RandomMutationsNeverCrash) {
  const std::string good = WriteSetToBytes(*SampleSet());
  std::mt19937 random(20261207);
  for (int round = 0; round < 3000; ++round) {
    std::string bytes = good;
    const int flips = 1 + int(random() % 4);
    for (int i = 0; i < flips; ++i) bytes[random() % bytes.size()] = char(random());
    std::unique_ptr<CRootFileInfo> set;
    const ESetFileError error = ReadSetFromBytes(bytes, set);
    if (error != ESetFileError::None) continue;
    // What was read is written to a file that reads back and writes the same.
    const std::string saved = WriteSetToBytes(*set);
    std::unique_ptr<CRootFileInfo> again;
    ASSERT_EQ(ReadSetFromBytes(saved, again), ESetFileError::None) << round;
    ASSERT_EQ(WriteSetToBytes(*again), saved) << round;
  }
}

TEST(SetFileRobustness, HugeChildCountsInATinyFile) {
  std::string bytes = WriteSetToBytes(CRootFileInfo("x"));
  bytes.replace(63, 4, Bytes({0xFF, 0xFF, 0xFF, 0x7F}));
  EXPECT_TRUE(IsMalformed(ReadError(bytes)));
  // A negative count means no children.
  bytes.replace(63, 4, Bytes({0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(ReadError(bytes), ESetFileError::None);
  // A string that claims more bytes than the file holds.
  std::string note = WriteSetToBytes(CRootFileInfo("x"));
  note.replace(20, 1, Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(ReadError(note), ESetFileError::EndOfFile);
}

TEST(SetFileRobustness, DeeplyNestedFoldersAreWalkedWithoutRecursion) {
  CRootFileInfo set("x");
  auto catalog = MakeCatalog("L");
  CFolderFileInfo* folder = catalog.get();
  for (int i = 0; i < 100000; ++i) folder = static_cast<CFolderFileInfo*>(Add(*folder, FolderRecord("d")));
  Add(*folder, FileRecord("bottom", 42));
  set.AppendCatalog(std::move(catalog), 0);
  std::uint64_t total = 0;
  set.SumContentSizes(total);
  EXPECT_EQ(total, 42u);
  CItemSummaryList found;
  set.FindByName("", "bottom", true, true, found);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0]->m_strPath.size(), 1 + 100000 * 2 + 7);
}

TEST(SetFileRobustness, AChainOf100000NestedFoldersReadsAndWritesBack) {
  // Stored paths are left empty, as another writer might: with full paths
  // such a chain would take gigabytes.
  auto object = [](std::string tag, const std::string& name, bool container) {
    std::string bytes = std::move(tag) + Bytes({0, 0}) + std::string(40, '\0');
    bytes += char(name.size()) + name + Bytes({0});
    if (container) bytes += Bytes({1, 0, 0, 0});
    return bytes;
  };
  std::string bytes = object(Bytes({0xFF, 0xFF, 2, 0, 13, 0}) + "CRootFileInfo", "", true);
  bytes += object(Bytes({0xFF, 0xFF, 2, 0, 15, 0}) + "CFolderFileInfo", "d", true);
  for (int i = 1; i < 100000; ++i) bytes += object(Bytes({0x03, 0x80}), "d", true);
  bytes += object(Bytes({0xFF, 0xFF, 2, 0, 9, 0}) + "CFileInfo", "bottom", false);
  bytes += std::string(4, '\0');  // the set's time
  auto loaded = Reload(bytes);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(WriteSetToBytes(*loaded), bytes);
  std::uint64_t total = 0;
  loaded->SumContentSizes(total);
  EXPECT_EQ(total, 0u);
  CItemSummaryList found;
  loaded->FindByName("", "bottom", true, true, found);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0]->m_strPath, "");
}

TEST(SetFileOnDisk, SaveReplacesAtomicallyAndKeepsTheMode) {
  CTempDir dir;
  const std::string path = dir.File("work.fcf");
  auto set = SampleSet();
  ASSERT_EQ(WriteSetFile(path, *set), ESetFileError::None);
  chmod(path.c_str(), 0640);
  set->SetNoteText("changed");
  ASSERT_EQ(WriteSetFile(path, *set), ESetFileError::None);
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  std::unique_ptr<CRootFileInfo> loaded;
  ASSERT_EQ(ReadSetFile(path, loaded), ESetFileError::None);
  EXPECT_EQ(loaded->GetNote(), "changed");
  EXPECT_EQ(ReadFileBytes(path), WriteSetToBytes(*set));
  EXPECT_EQ(MakeSetName(path), "work カタログセット");
  EXPECT_EQ(MakeSetName("a.b.fcf"), "a.b カタログセット");
  EXPECT_EQ(MakeSetName("/sets/noext"), "noext カタログセット");
  EXPECT_EQ(MakeSetName("/sets/.fcf"), "/sets/.fcf");
  EXPECT_EQ(MakeSetName(""), "新しいカタログセット");
}

// Files are read and written through a buffer of a quarter megabyte; a
// value longer than that still goes through whole, wherever it starts.
TEST(SetFileOnDisk, ValuesLongerThanTheBufferGoThroughWhole) {
  CTempDir dir;
  const std::string path = dir.File("long.fcf");
  auto set = SampleSet();
  std::string note(600000, 'n');
  note += "末尾";
  set->SetNoteText(note);
  auto* catalog = static_cast<CFolderFileInfo*>(FindByPath(static_cast<CFileInfo*>(set.get()), "Other"));
  for (int i = 0; i < 5000; ++i) Add(*catalog, FileRecord("file" + std::to_string(i), std::uint64_t(i)));
  Add(*catalog, FileRecord("last", 1))->SetNoteText(note);
  ASSERT_EQ(WriteSetFile(path, *set), ESetFileError::None);
  EXPECT_EQ(ReadFileBytes(path), WriteSetToBytes(*set));
  std::unique_ptr<CRootFileInfo> loaded;
  ASSERT_EQ(ReadSetFile(path, loaded), ESetFileError::None);
  EXPECT_EQ(loaded->GetNote(), note);
  EXPECT_EQ(FindByPath(static_cast<const CFileInfo*>(loaded.get()), "Other\\last")->GetNote(), note);
  EXPECT_EQ(WriteSetToBytes(*loaded), WriteSetToBytes(*set));
}

TEST(SetFileOnDisk, FailedWriteLeavesTheOldFileUntouched) {
  CTempDir dir;
  const std::string path = dir.File("old.fcf");
  CRootFileInfo small("x");
  ASSERT_EQ(WriteSetFile(path, small), ESetFileError::None);
  const std::string before = ReadFileBytes(path);

  auto big = SampleSet();
  big->SetNoteText(std::string(100000, 'x'));
  struct rlimit old {};
  getrlimit(RLIMIT_FSIZE, &old);
  struct rlimit limit = old;
  limit.rlim_cur = 4096;
  auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &limit);
  const ESetFileError error = WriteSetFile(path, *big);
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(error, ESetFileError::WriteFailure);
  EXPECT_EQ(ReadFileBytes(path), before);
  // No temporary file is left beside the set.
  EXPECT_EQ(system(("test $(ls -A '" + dir.Path() + "' | wc -l) -eq 1").c_str()), 0);
}

TEST(SetFileOnDisk, FileErrors) {
  CTempDir dir;
  std::unique_ptr<CRootFileInfo> set;
  EXPECT_EQ(ReadSetFile(dir.File("missing.fcf"), set), ESetFileError::NotFound);
  WriteFileBytes(dir.File("empty.fcf"), "");
  EXPECT_EQ(ReadSetFile(dir.File("empty.fcf"), set), ESetFileError::EmptyFile);
  EXPECT_EQ(ReadSetFile(dir.Path(), set), ESetFileError::ReadFailure);
  EXPECT_EQ(WriteSetFile(dir.File("no/such/folder.fcf"), CRootFileInfo("x")), ESetFileError::NotFound);
  EXPECT_FALSE(set);
}
