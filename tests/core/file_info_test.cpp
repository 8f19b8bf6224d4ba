#include <cstring>
#include <gtest/gtest.h>

#include "model/item_arena.h"
#include "model/text_format.h"
#include "platform/mime_type_names.h"
#include "tests/core/test_util.h"

namespace {

// Answers type names from a fixed table and counts the questions.
class CFixedTypeNames : public CTypeNameSource {
 public:
  explicit CFixedTypeNames(int* asked) : m_pAsked(asked) {}
  std::string TypeName(const std::string& extension, bool isFolder) override {
    ++*m_pAsked;
    if (isFolder) return "フォルダー";
    if (extension == ".txt") return "テキスト";
    return {};
  }

 private:
  int* m_pAsked;
};

class FileInfoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetTypeNameSource(std::make_unique<CFixedTypeNames>(&m_nAsked));
    auto disc = MakeCatalog("Disc");
    CFindData docs = FolderRecord("Data");
    auto* folder = static_cast<CFolderFileInfo*>(disc->AddChild(&docs));
    CFindData a = FileRecord("a.txt", 2048);
    CFindData b = FileRecord("B.TXT", 5000000000ULL);
    folder->AddChild(&a);
    folder->AddChild(&b);
    CFindData top = FileRecord("top", 1);
    disc->AddChild(&top);
    m_set.AppendCatalog(std::move(disc), 100);
    auto odd = MakeCatalog("with\\slash");
    m_set.AppendCatalog(std::move(odd), 200);
  }
  void TearDown() override { SetTypeNameSource(nullptr); }

  CRootFileInfo m_set{"set"};
  int m_nAsked = 0;
};

}  // namespace

TEST_F(FileInfoTest, FindByPathWalksNamesExactly) {
  EXPECT_EQ(FindByPath(&m_set, ""), &m_set);
  const CFileInfo* disc = FindByPath(&m_set, "Disc");
  ASSERT_TRUE(disc);
  EXPECT_TRUE(disc->IsCatalog());
  EXPECT_EQ(FindByPath(&m_set, "Disc\\"), disc);
  EXPECT_TRUE(FindByPath(&m_set, "Disc\\Data\\a.txt"));
  EXPECT_FALSE(FindByPath(&m_set, "Disc\\data\\a.txt"));
  EXPECT_FALSE(FindByPath(&m_set, "Nothing\\Data"));
  EXPECT_FALSE(FindByPath(&m_set, "Disc\\top\\below"));
  // A label of another writer holding a backslash is reached as it reads.
  const CFileInfo* odd = FindByPath(&m_set, "with\\slash");
  ASSERT_TRUE(odd);
  EXPECT_EQ(odd->GetName(), "with\\slash");
  EXPECT_FALSE(FindByPath(&m_set, "with"));
  EXPECT_EQ(m_set.GetCatalogCount(), 2);
}

TEST_F(FileInfoTest, PathsAreDerivedFromTheTree) {
  auto summary = m_set.GetItemSummary("Disc\\Data\\B.TXT");
  ASSERT_TRUE(summary);
  EXPECT_EQ(summary->m_strPath, "Disc\\Data\\B.TXT");
  EXPECT_EQ(summary->m_strName, "B.TXT");
  EXPECT_EQ(summary->m_strSize, "4,768MB");
  EXPECT_FALSE(summary->m_bContainer);
  EXPECT_EQ(m_set.GetItemSummary("Disc\\")->m_strPath, "Disc");
  EXPECT_EQ(m_set.GetItemSummary("")->m_strPath, "");
  EXPECT_FALSE(m_set.GetItemSummary("Disc\\none"));
}

TEST_F(FileInfoTest, ListChildren) {
  CItemSummaryList rows;
  EXPECT_EQ(m_set.ListChildren("Disc", rows, false), 1);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0]->m_strName, "Data");
  EXPECT_TRUE(rows[0]->m_bContainer);
  EXPECT_EQ(rows[0]->m_strSize, "1KB");  // a folder's own size text
  EXPECT_EQ(rows[1]->m_strPath, "Disc\\top");
  rows.clear();
  EXPECT_EQ(m_set.ListChildren("Disc", rows, true), 1);
  EXPECT_EQ(rows.size(), 1u);
  EXPECT_EQ(m_set.ListChildren("Disc\\top", rows, false), 0);
  EXPECT_EQ(m_set.ListChildren("missing", rows, false), 0);
  rows.clear();
  EXPECT_EQ(m_set.ListChildren("", rows, false), 1);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_TRUE(rows[0]->m_bCatalog);
  EXPECT_EQ(rows[0]->m_strTypeName, "固定ディスク");
  EXPECT_EQ(rows[0]->m_strSize, "");
}

TEST_F(FileInfoTest, NotesAreSetOnlyWhenTheyChange) {
  EXPECT_EQ(m_set.SetNote("Disc\\Data", "n"), 1);
  EXPECT_EQ(m_set.SetNote("Disc\\Data", "n"), 0);
  EXPECT_EQ(m_set.SetNote("missing", "n"), 0);
  std::string note = "unchanged";
  m_set.GetNote("missing", note);
  EXPECT_EQ(note, "unchanged");
  m_set.GetNote("Disc\\Data", note);
  EXPECT_EQ(note, "n");
  EXPECT_EQ(m_set.SetNote("Disc\\Data", ""), 1);
  EXPECT_EQ(FindByPath(&m_set, "Disc\\Data")->GetNote(), "");

  EXPECT_EQ(m_set.SetNotes({"Disc\\top", "missing", "Disc"}, "same"), 1);
  EXPECT_EQ(m_set.SetNotes({"Disc\\top", "Disc"}, "same"), 0);
  std::string common = "before";
  m_set.GetCommonNote({"Disc\\top", "Disc"}, common);
  EXPECT_EQ(common, "same");
  common = "before";
  m_set.GetCommonNote({"Disc\\top", "Disc\\Data"}, common);
  EXPECT_EQ(common, "before");
  m_set.GetCommonNote({"Disc\\top", "missing"}, common);
  m_set.GetCommonNote({}, common);
  EXPECT_EQ(common, "before");
}

TEST_F(FileInfoTest, SelectionInfoFills) {
  CPropInfoData file;
  m_set.GetSelectionInfo({"Disc\\Data\\a.txt"}, file);
  EXPECT_EQ(file.m_nType, CPropInfoData::TYPE_FILE);
  EXPECT_EQ(file.m_strKind, "テキスト");
  EXPECT_EQ(file.m_strSize, "2,048バイト");
  EXPECT_EQ(file.m_strPath, "Disc\\Data\\a.txt");
  EXPECT_EQ(file.m_strAttributes, "アーカイブ");

  CPropInfoData folder;
  m_set.GetSelectionInfo({"Disc\\Data"}, folder);
  EXPECT_EQ(folder.m_nType, CPropInfoData::TYPE_FOLDER);
  EXPECT_EQ(folder.m_strSize, "5,000,002,048バイト");
  EXPECT_EQ(folder.m_strKind, "フォルダー");
  EXPECT_EQ(folder.m_strModified, "");

  CPropInfoData catalog;
  m_set.GetSelectionInfo({"Disc"}, catalog);
  EXPECT_EQ(catalog.m_nType, CPropInfoData::TYPE_CATALOG);
  EXPECT_EQ(catalog.m_strSize, "5,000,002,049バイト");
  EXPECT_EQ(catalog.m_strMachine, "host");
  EXPECT_EQ(catalog.m_strTotalSpace, "5,000,000,000バイト");
  EXPECT_EQ(catalog.m_strBasePath, "/data/Disc");
  EXPECT_EQ(catalog.m_strKind, "");

  CPropInfoData set;
  m_set.GetSelectionInfo({""}, set);
  EXPECT_EQ(set.m_nType, CPropInfoData::TYPE_SET);
  EXPECT_EQ(set.m_strCatalogCount, "2");
  EXPECT_EQ(set.m_strName, "set");

  CPropInfoData several;
  m_set.SetNotes({"Disc\\top", "Disc\\Data\\a.txt"}, "x");
  m_set.GetSelectionInfo({"Disc\\top", "Disc\\Data", "gone", "Disc\\Data\\a.txt"}, several);
  EXPECT_EQ(several.m_nType, CPropInfoData::TYPE_SEVERAL);
  EXPECT_EQ(several.m_strName, "複数のファイル");
  EXPECT_EQ(several.m_strSize, "5,000,004,097バイト");
  EXPECT_EQ(several.m_strNote, "");  // notes differ, or a path is missing

  CPropInfoData untouched;
  untouched.m_strName = "keep";
  m_set.GetSelectionInfo({"gone"}, untouched);
  m_set.GetSelectionInfo({}, untouched);
  EXPECT_EQ(untouched.m_strName, "keep");
}

// Sizes from hand-built sets can sum past 64 bits: the sum stops at the top
// instead of wrapping round to a small size.
TEST_F(FileInfoTest, SizeSumsStopAtTheLargestValue) {
  auto* huge = static_cast<CFolderFileInfo*>(FindByPath(&m_set, "with\\slash"));
  for (const char* name : {"x", "y"}) {
    CFindData record = FileRecord(name, UINT64_MAX - 1);
    huge->AddChild(&record);
  }
  std::uint64_t total = 0;
  huge->SumContentSizes(total);
  EXPECT_EQ(total, UINT64_MAX);
  CPropInfoData several;
  m_set.GetSelectionInfo({"with\\slash\\x", "Disc"}, several);
  EXPECT_EQ(several.m_strSize, FormatSize(UINT64_MAX, true));
}

TEST_F(FileInfoTest, RemoveCatalogRemovesOnlyCatalogs) {
  EXPECT_EQ(m_set.RemoveCatalog("Disc\\Data"), 0);
  EXPECT_EQ(m_set.RemoveCatalog("missing"), 0);
  EXPECT_EQ(m_set.RemoveCatalog(""), 0);
  EXPECT_EQ(m_set.RemoveCatalog("Disc"), 1);
  EXPECT_EQ(m_set.GetCatalogCount(), 1);
  EXPECT_FALSE(FindByPath(&m_set, "Disc"));
}

TEST_F(FileInfoTest, TypeNamesAreCachedPerExtensionAndKind) {
  EXPECT_EQ(TypeNameFor(".txt", false), "テキスト");
  EXPECT_EQ(TypeNameFor(".txt", false), "テキスト");
  EXPECT_EQ(m_nAsked, 1);
  EXPECT_EQ(TypeNameFor(".TXT", false), "TXT ﾌｧｲﾙ");
  EXPECT_EQ(TypeNameFor(".lzh", false), "lzh ﾌｧｲﾙ");
  EXPECT_EQ(TypeNameFor("", false), " ﾌｧｲﾙ");
  EXPECT_EQ(TypeNameFor("", true), "フォルダー");
  EXPECT_EQ(m_nAsked, 5);
  TypeNameFor(".lzh", false);  // an unknown answer is cached too
  EXPECT_EQ(m_nAsked, 5);
  EXPECT_EQ(ExtensionOf("a.b.c"), ".c");
  EXPECT_EQ(ExtensionOf(".profile"), ".profile");
  EXPECT_EQ(ExtensionOf("noext"), "");
}

TEST(FileInfoTimes, FileTimesConvertToTheSameInstant) {
  CScopedTimeZone tz("JST-9");
  // 2000-12-12 04:05:09 UTC is 13:05:09 in Japan.
  const std::uint64_t ft = UnixToFileTime(976593909, 0);
  CFindData record = FileRecord("f", 0, ft);
  auto file = CFileInfo::Create(&record);
  EXPECT_EQ(file->GetModifiedTime(), 976593909);
  EXPECT_EQ(FormatTime(file->GetModifiedTime()), "2000/12/12 13:05:09");
  // The whole range of file times converts: before 1900, beyond 2038, up to the largest.
  EXPECT_EQ(FormatTime(FileTimeToTime(UnixToFileTime(-2300000000LL, 0))), "1897/02/12 00:06:40");
  EXPECT_EQ(FormatIsoTime(FileTimeToTime(UnixToFileTime(-2300000000LL, 0))), "1897-02-12T00:06:40+09:00");
  EXPECT_EQ(FormatTime(FileTimeToTime(UnixToFileTime(4102444800LL, 0))), "2100/01/01 09:00:00");
  EXPECT_EQ(FormatTime(FileTimeToTime(1)), "1601/01/01 09:00:00");
  EXPECT_EQ(FileTimeToTime(0), 0);  // no time recorded
  EXPECT_EQ(FormatTime(FileTimeToTime(0xFFFFFFFFFFFFFFFFULL)), "60056/05/28 14:36:10");
  EXPECT_EQ(FormatTime(kInvalidTime), "");
  CScopedTimeZone west("NST3:30");
  EXPECT_EQ(FormatIsoTime(976593909), "2000-12-12T00:35:09-03:30");
}

TEST(FileInfoItems, RecordsAndNotesAreKept) {
  CFindData record = FileRecord("名前.txt", 0x123456789ULL, 5);
  record.cAlternateFileName = "NAME~1.TXT";
  record.dwReserved0 = 7;
  record.dwFileAttributes = 0x27;
  auto file = CFileInfo::Create(&record);
  const CFindData copy = file->GetFindData();
  EXPECT_EQ(copy.cFileName, "名前.txt");
  EXPECT_EQ(copy.cAlternateFileName, "NAME~1.TXT");
  EXPECT_EQ(copy.dwReserved0, 7u);
  EXPECT_EQ(copy.Size(), 0x123456789ULL);
  EXPECT_EQ(file->GetAttributes(), 0x27u);
  EXPECT_EQ(file->GetNote(), "");
  file->SetNoteText("n");
  EXPECT_EQ(file->GetNote(), "n");
  file->SetNoteText("");
  EXPECT_EQ(file->GetNote(), "");
  EXPECT_EQ(file->AlternateName(), "NAME~1.TXT");

  auto empty = CFileInfo::Create(nullptr);
  EXPECT_EQ(empty->GetName(), "");
  EXPECT_EQ(empty->GetSize(), 0u);
  CFolderFileInfo* folder = nullptr;
  auto owner = CFolderFileInfo::Create(nullptr);
  folder = owner.get();
  CFileInfo* child = folder->AddChild(&record);
  folder->RemoveChild(file.get());  // not its child: nothing happens
  EXPECT_EQ(folder->Children().size(), 1u);
  folder->RemoveChild(child);
  EXPECT_TRUE(folder->Children().empty());
}

TEST(FileInfoArena, StorageGoesBackWhenTheLastItemGoes) {
  CItemArena arena;
  const std::size_t mappedBefore = CItemArena::MappedBytes();
  // The second round reaches the chunks mapped apart from the heap.
  for (const int count : {1000, 200000}) {
    for (int i = 0; i < count; ++i) std::memset(arena.Allocate(48 + i % 40), 0xA5, 48);
    EXPECT_GT(arena.ChunkBytes(), count * 48u);
    for (int i = 0; i < count; ++i) arena.Release();
    EXPECT_EQ(arena.ChunkBytes(), 0u);
    EXPECT_EQ(CItemArena::MappedBytes(), mappedBefore);
  }
}

// Subtrees leave a catalog's arena one by one, deep ones without recursion;
// trees are swapped with their arenas; a catalog nested in another shares
// the outer one's. The sanitizers see every item destroyed exactly once.
TEST(FileInfoArena, SubtreesAndCatalogsAreDestroyedFromTheirArena) {
  CRootFileInfo set("set");
  auto catalog = MakeCatalog("C");
  CFindData chainTop = FolderRecord("chain");
  CFolderFileInfo* chain = static_cast<CFolderFileInfo*>(catalog->AddChild(&chainTop));
  CFolderFileInfo* folder = chain;
  for (int i = 0; i < 100000; ++i) {
    CFindData record = FolderRecord("d");
    folder = static_cast<CFolderFileInfo*>(folder->AddChild(&record));
  }
  CFindData big = FileRecord("big", 5000000000ULL);
  big.cAlternateFileName = "BIG~1";
  folder->AddChild(&big)->SetNoteText("note");
  CFindData kept = FileRecord("kept", 7);
  catalog->AddChild(&kept);
  CDriveFileInfo* nested = static_cast<CDriveFileInfo*>(catalog->AddChildOfKind(CFileInfo::KIND_CATALOG, kept));
  nested->m_strLabel = "N";
  nested->AddChild(&big);
  EXPECT_EQ(nested->Children().back()->GetSize(), 5000000000ULL);

  catalog->RemoveChild(chain);
  ASSERT_EQ(catalog->Children().size(), 2u);
  EXPECT_EQ(catalog->Children()[0]->GetName(), "kept");

  auto other = MakeCatalog("O");
  other->AddChild(&big);
  EXPECT_FALSE(catalog->SwapTree(*nested));
  EXPECT_TRUE(catalog->SwapTree(*other));
  ASSERT_EQ(catalog->Children().size(), 1u);
  EXPECT_EQ(catalog->Children()[0]->AlternateName(), "BIG~1");
  set.AppendCatalog(std::move(catalog), 0);
  set.AppendCatalog(std::move(other), 0);
  EXPECT_EQ(set.RemoveCatalog("O\\N"), 1);
  EXPECT_EQ(set.RemoveCatalog("C"), 1);
  EXPECT_EQ(set.GetCatalogCount(), 1);
}
