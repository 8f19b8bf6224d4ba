// Scanning real folders into catalogs: the walk, and the rules of adding a
// catalog from one path or from several dropped ones.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "model/root_file_info.h"
#include "model/limits.h"
#include "model/scan.h"
#include "model/set_file.h"
#include "platform/real_name.h"
#include "platform/thread_start.h"
#include "tests/core/scan_tree.h"

namespace {

constexpr std::uint64_t FileTime(std::int64_t seconds, std::uint32_t nanoseconds) {
  return std::uint64_t(seconds + 11644473600LL) * 10000000ULL + nanoseconds / 100;
}

// The names of a folder in the order the directory reads return them.
std::vector<std::string> ReadOrder(const std::string& path) {
  std::vector<std::string> names;
  DIR* dir = opendir(path.c_str());
  while (const dirent* entry = dir != nullptr ? readdir(dir) : nullptr) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  if (dir != nullptr) closedir(dir);
  return names;
}

std::vector<std::string> ChildNames(const CFileInfo* item) {
  std::vector<std::string> names;
  for (const auto& child : static_cast<const CFolderFileInfo*>(item)->Children()) names.emplace_back(child->GetName());
  return names;
}

const CFolderFileInfo& AsFolder(const CFileInfo* item) {
  EXPECT_TRUE(item != nullptr && item->IsContainer());
  return static_cast<const CFolderFileInfo&>(*item);
}

class CRecordingSink : public CMessageSink {
 public:
  void ShowMessage(const std::string& text) override { m_messages.push_back(text); }
  std::vector<std::string> m_messages;
};

// Refuses to open folders of one name, as a folder without permission would.
class CLockedLister : public CFolderLister {
 public:
  int OpenFolder(int dirFd, const std::string& name, bool follow) override {
    if (name == "locked") {
      errno = EACCES;
      return -1;
    }
    return CFolderLister::OpenFolder(dirFd, name, follow);
  }
};

// A tree with every kind of entry the catalog has to describe.
class ScanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(m_tree.Path().empty());
    m_tStart = std::time(nullptr);
    ASSERT_EQ(0, mkdir(m_tree.At("docs").c_str(), 0755));
    ASSERT_EQ(0, mkdir(m_tree.At("empty").c_str(), 0755));
    MakeFile(m_tree.At("docs/a.txt"), 1234, 1000000000, 1200000000, 250000000);
    MakeFile(m_tree.At("docs/日本語の名前.txt"), 10);
    MakeFile(m_tree.At("docs/한글.txt"), 20);
    MakeFile(m_tree.At("docs/bad\xff\xfe.bin"), 30);
    MakeFile(m_tree.At("big.iso"), 5ULL << 30);  // sparse; its size needs the high word
    MakeFile(m_tree.At(".hidden"), 1);
    MakeFile(m_tree.At("readonly.txt"), 2);
    ASSERT_EQ(0, chmod(m_tree.At("readonly.txt").c_str(), 0444));
    ASSERT_EQ(0, mkfifo(m_tree.At("pipe").c_str(), 0644));
    ASSERT_EQ(0, symlink("docs/a.txt", m_tree.At("alias.txt").c_str()));
    ASSERT_EQ(0, symlink("nowhere", m_tree.At("dangling").c_str()));
    ASSERT_EQ(0, symlink("docs", m_tree.At("docs-link").c_str()));
    ASSERT_EQ(0, symlink("..", m_tree.At("docs/up").c_str()));
  }

  CScanTree m_tree;
  std::time_t m_tStart = 0;
};

TEST_F(ScanTest, CatalogMirrorsTheTreeInReadOrder) {
  CRootFileInfo set("s");
  const CDriveFileInfo* catalog = set.AddCatalog("disk", m_tree.Path() + "/");
  ASSERT_NE(nullptr, catalog);
  EXPECT_EQ(m_tree.Path(), catalog->m_strCatalogedPath);

  EXPECT_EQ(ReadOrder(m_tree.Path()), ChildNames(catalog));
  std::vector<std::string> docs;
  for (const std::string& name : ReadOrder(m_tree.At("docs")))
    docs.push_back(name == "bad\xff\xfe.bin" ? "bad\xEE\xBF\xBF\xEE\xBF\xBE.bin" : name);
  EXPECT_EQ(docs, ChildNames(FindByPath(catalog, "docs")));
  EXPECT_TRUE(AsFolder(FindByPath(catalog, "empty")).Children().empty());

  const CFileInfo* a = FindByPath(catalog, "docs\\a.txt");
  ASSERT_NE(nullptr, a);
  EXPECT_EQ(1234u, a->GetSize());
  EXPECT_EQ(FILE_ATTRIBUTE_ARCHIVE, a->GetAttributes());
  EXPECT_EQ(FileTime(1200000000, 250000000), a->WriteFileTime());
  EXPECT_EQ(FileTime(1000000000, 250000000), a->AccessFileTime());
  // Birth time where the file system keeps one, else the modification time.
  const bool born = a->CreationFileTime() >= FileTime(m_tStart - 2, 0) &&
                    a->CreationFileTime() <= FileTime(std::time(nullptr) + 2, 0);
  EXPECT_TRUE(born || a->CreationFileTime() == a->WriteFileTime());
  EXPECT_TRUE(a->AlternateName().empty());

  const CFileInfo* big = FindByPath(catalog, "big.iso");
  ASSERT_NE(nullptr, big);
  EXPECT_EQ(5ULL << 30, big->GetSize());

  struct CExpected {
    const char* path;
    std::uint32_t attributes;
    std::uint64_t size;
  };
  const CExpected expected[] = {
      {"docs", FILE_ATTRIBUTE_DIRECTORY, 0},
      {".hidden", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE, 1},
      {"readonly.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE, 2},
      {"pipe", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE, 0},
      // Links as themselves: the size of the path they hold.
      {"alias.txt", FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_ARCHIVE, 10},
      {"dangling", FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_ARCHIVE, 7},
      {"docs-link", FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY, 0},
      {"docs\\日本語の名前.txt", FILE_ATTRIBUTE_ARCHIVE, 10},
      {"docs\\한글.txt", FILE_ATTRIBUTE_ARCHIVE, 20},
      {"docs\\bad\xEE\xBF\xBF\xEE\xBF\xBE.bin", FILE_ATTRIBUTE_ARCHIVE, 30},
  };
  for (const CExpected& e : expected) {
    const CFileInfo* item = FindByPath(catalog, e.path);
    ASSERT_NE(nullptr, item) << e.path;
    EXPECT_EQ(e.attributes, item->GetAttributes()) << e.path;
    EXPECT_EQ(e.size, item->GetSize()) << e.path;
  }
  EXPECT_NE(FileTime(1200000000, 250000000), FindByPath(catalog, "alias.txt")->WriteFileTime());
  for (const char* link : {"alias.txt", "dangling", "docs-link", "docs\\up"})
    EXPECT_TRUE(FindByPath(catalog, link)->IsLink()) << link;
  EXPECT_EQ(CFileInfo::EEntryKind::Special, FindByPath(catalog, "pipe")->EntryKind());
  EXPECT_EQ(CFileInfo::EEntryKind::Regular, FindByPath(catalog, "docs\\a.txt")->EntryKind());
}

TEST_F(ScanTest, LinksToFoldersAreRecordedAndFollowedOnlyWhenAsked) {
  CRootFileInfo set("s");
  const CDriveFileInfo* catalog = set.AddCatalog("disk", m_tree.Path());
  ASSERT_NE(nullptr, catalog);
  EXPECT_TRUE(AsFolder(FindByPath(catalog, "docs-link")).Children().empty());
  EXPECT_TRUE(AsFolder(FindByPath(catalog, "docs\\up")).Children().empty());
  EXPECT_FALSE(AsFolder(FindByPath(catalog, "docs")).Children().empty());

  // Followed, each real folder is walked once: docs (reached directly and
  // through docs-link) has its entries under one of them only, and docs/up
  // leads back to the scanned folder itself.
  CScanOptions follow;
  follow.bFollowLinks = true;
  std::unique_ptr<CDriveFileInfo> followed;
  std::string message;
  ASSERT_EQ(EScanStatus::Done, ScanCatalog("f", {m_tree.Path()}, follow, followed, message));
  const bool viaLink = !AsFolder(FindByPath(followed.get(), "docs-link")).Children().empty();
  const bool direct = !AsFolder(FindByPath(followed.get(), "docs")).Children().empty();
  EXPECT_NE(viaLink, direct);
  EXPECT_FALSE(FindByPath(followed.get(), "docs-link")->IsLink());
  EXPECT_TRUE(FindByPath(followed.get(), "alias.txt")->IsLink());
  EXPECT_EQ(nullptr, FindByPath(followed.get(), "docs\\up\\docs"));
  EXPECT_EQ(nullptr, FindByPath(followed.get(), "docs-link\\up\\docs"));
}

TEST_F(ScanTest, SavedSetReadsBackEqual) {
  CRootFileInfo set("s");
  ASSERT_NE(nullptr, set.AddCatalog("disk", m_tree.Path()));
  const std::string bytes = WriteSetToBytes(set);
  std::unique_ptr<CRootFileInfo> loaded;
  ASSERT_EQ(ESetFileError::None, ReadSetFromBytes(bytes, loaded));
  EXPECT_EQ(bytes, WriteSetToBytes(*loaded));

  // Writing what was read gives the same bytes, so nothing was lost; and
  // the scanned names and facts did come through.
  ASSERT_EQ(1, loaded->GetCatalogCount());
  EXPECT_NE(nullptr, FindByPath(loaded.get(), "disk\\docs\\한글.txt"));
  EXPECT_NE(nullptr, FindByPath(loaded.get(), "disk\\docs\\bad\xEE\xBF\xBF\xEE\xBF\xBE.bin"));
  EXPECT_EQ(5ULL << 30, FindByPath(loaded.get(), "disk\\big.iso")->GetSize());
  EXPECT_EQ(FileTime(1200000000, 250000000), FindByPath(loaded.get(), "disk\\docs\\a.txt")->WriteFileTime());
  EXPECT_TRUE(FindByPath(loaded.get(), "disk\\alias.txt")->IsLink());
  EXPECT_TRUE(FindByPath(loaded.get(), "disk\\docs-link")->IsLink());
  EXPECT_EQ(CFileInfo::EEntryKind::Special, FindByPath(loaded.get(), "disk\\pipe")->EntryKind());
}

// Real names that are no plain UTF-8 text (bytes of another encoding, "\\",
// the escape characters themselves) stay distinct, read as text where they
// are CP932, and lead back to their own files after saving and loading.
TEST(ScanNamesTest, EveryRealNameLeadsBackToItsFile) {
  CScanTree tree;
  ASSERT_EQ(0, mkdir(tree.At("a\\b").c_str(), 0755));
  const std::string files[] = {"bad\xFFname",  "bad\xFEname",   "\x8A\xBF\x8E\x9A.txt", "表.txt",
                               "\x95\x5C.txt", "x\xEE\xBD\x81", "a\\b/sub\\b.TXT",      "a\\b/\x95\x5C\\"};
  std::set<std::string> expected;
  for (const std::string& file : files) {
    MakeFile(tree.At(file), 1);
    expected.insert(tree.At(file));
  }
  CRootFileInfo set("s");
  ASSERT_NE(nullptr, set.AddCatalog("disk", tree.Path()));
  std::unique_ptr<CRootFileInfo> loaded;
  ASSERT_EQ(ESetFileError::None, ReadSetFromBytes(WriteSetToBytes(set), loaded));
  EXPECT_NE(nullptr, FindByPath(loaded.get(), "disk\\漢字.txt"));

  const auto& catalog = static_cast<const CDriveFileInfo&>(*FindByPath(loaded.get(), "disk"));
  std::set<std::string> reached;
  WalkBelow(catalog, "disk", [&](const CFileInfo& item, const CWalkPath& parent) {
    const std::string path = parent.PathOf(item);
    EXPECT_EQ(FindByPath(loaded.get(), path), &item) << path;
    if (!item.IsContainer()) reached.insert(RealPathBelow(catalog.m_strCatalogedPath, path.substr(5)));
  });
  EXPECT_EQ(reached, expected);
}

TEST_F(ScanTest, FolderThatCannotBeOpenedStaysEmpty) {
  ASSERT_EQ(0, mkdir(m_tree.At("docs/locked").c_str(), 0755));
  MakeFile(m_tree.At("docs/locked/inside.txt"), 1);
  CLockedLister lister;
  auto catalog = std::make_unique<CDriveFileInfo>("disk", m_tree.Path(), CMediumFacts());
  ScanFolder(m_tree.Path(), *catalog, lister);
  EXPECT_TRUE(AsFolder(FindByPath(catalog.get(), "docs\\locked")).Children().empty());
  EXPECT_NE(nullptr, FindByPath(catalog.get(), "docs\\a.txt"));

  std::vector<CFindData> records;
  EXPECT_EQ(EFolderListing::NotOpened, ListFolder(m_tree.At("missing"), records));
  EXPECT_EQ(EFolderListing::Listed, ListFolder(m_tree.At("empty"), records));
  EXPECT_TRUE(records.empty());
}

TEST_F(ScanTest, SingleFileMakesCatalogOfItsFolderAndMissingPlaceAddsNothing) {
  CRootFileInfo set("s");
  const CDriveFileInfo* single = set.AddCatalog("one", m_tree.At("docs/a.txt"));
  ASSERT_NE(nullptr, single);
  EXPECT_EQ(m_tree.At("docs"), single->m_strCatalogedPath);
  EXPECT_EQ(std::vector<std::string>{"a.txt"}, ChildNames(single));
  EXPECT_EQ(1234u, FindByPath(single, "a.txt")->GetSize());

  const std::time_t before = std::time(nullptr);
  EXPECT_GE(single->m_timeCataloged, before - 2);
  EXPECT_EQ(single->m_timeCataloged, set.m_timeUpdated);
  EXPECT_FALSE(single->m_strMachineName.empty());
  EXPECT_FALSE(single->m_strMediaType.empty());

  // A place that does not exist adds nothing.
  EXPECT_EQ(nullptr, set.AddCatalog("gone", m_tree.At("docs/nothing.txt")));
  EXPECT_EQ(1, set.GetCatalogCount());
  CRecordingSink sink;
  EXPECT_EQ(nullptr, set.AddCatalogFromPaths("gone", {m_tree.At("no1"), m_tree.At("no2")}, sink));
  EXPECT_EQ(std::vector<std::string>{kPlaceNotFoundMessage}, sink.m_messages);
  EXPECT_EQ(1, set.GetCatalogCount());
}

TEST_F(ScanTest, LabelsAreRefusedOnlyWhenTheyNameAnItemExactly) {
  CRootFileInfo set("s");
  ASSERT_NE(nullptr, set.AddCatalog("Disk", m_tree.At("empty")));
  EXPECT_EQ(nullptr, set.AddCatalog("Disk", m_tree.At("docs")));
  EXPECT_EQ(nullptr, set.AddCatalog("", m_tree.At("docs")));  // names the set itself
  CRecordingSink sink;
  EXPECT_EQ(nullptr, set.AddCatalogFromPaths("Disk", {m_tree.At("docs"), m_tree.At("empty")}, sink));
  EXPECT_TRUE(sink.m_messages.empty());
  EXPECT_EQ(1, set.GetCatalogCount());
  EXPECT_NE(nullptr, set.AddCatalog("disk", m_tree.At("docs")));
  EXPECT_EQ(2, set.GetCatalogCount());
}

TEST_F(ScanTest, RelativePathsAreTakenFromTheWorkingFolder) {
  const std::string saved = std::filesystem::current_path();
  ASSERT_EQ(0, chdir(m_tree.Path().c_str()));
  CRootFileInfo set("s");
  const CDriveFileInfo* file = set.AddCatalog("file", "docs/./a.txt");
  const CDriveFileInfo* folder = set.AddCatalog("folder", "empty/../docs/");
  ASSERT_EQ(0, chdir(saved.c_str()));
  ASSERT_NE(nullptr, file);
  ASSERT_NE(nullptr, folder);
  EXPECT_EQ(m_tree.At("docs"), file->m_strCatalogedPath);
  EXPECT_EQ(m_tree.At("docs"), folder->m_strCatalogedPath);
  EXPECT_NE(nullptr, FindByPath(folder, "a.txt"));
}

TEST_F(ScanTest, DroppedPathsBecomeDirectChildrenOfTheirCommonParent) {
  CRootFileInfo set("s");
  CRecordingSink sink;
  const CDriveFileInfo* catalog =
      set.AddCatalogFromPaths("drop", {m_tree.At("docs/a.txt"), m_tree.At("empty/"), m_tree.At("docs")}, sink);
  ASSERT_NE(nullptr, catalog);
  EXPECT_TRUE(sink.m_messages.empty());
  EXPECT_EQ(m_tree.Path(), catalog->m_strCatalogedPath);
  // a.txt is inside docs, which was dropped too.
  EXPECT_EQ((std::vector<std::string>{"empty", "docs"}), ChildNames(catalog));
  EXPECT_NE(nullptr, FindByPath(catalog, "docs\\日本語の名前.txt"));
  EXPECT_EQ(ReadOrder(m_tree.At("docs")).size(), ChildNames(FindByPath(catalog, "docs")).size());
}

TEST_F(ScanTest, DroppedPathsInDifferentFoldersKeepTheFoldersBetween) {
  ASSERT_EQ(0, mkdir(m_tree.At("c1").c_str(), 0755));
  ASSERT_EQ(0, mkdir(m_tree.At("c1/deep").c_str(), 0755));
  ASSERT_EQ(0, mkdir(m_tree.At("c2").c_str(), 0755));
  MakeFile(m_tree.At("c1/deep/normal.txt"), 7);
  MakeFile(m_tree.At("c1/other.txt"), 8);
  MakeFile(m_tree.At("c2/inside.txt"), 9);
  CRootFileInfo set("s");
  CRecordingSink sink;
  const CDriveFileInfo* catalog = set.AddCatalogFromPaths(
      "drop", {m_tree.At("c1/deep/normal.txt"), m_tree.At("c2"), m_tree.At("c1/other.txt")}, sink);
  ASSERT_NE(nullptr, catalog);
  EXPECT_EQ(m_tree.Path(), catalog->m_strCatalogedPath);
  EXPECT_EQ((std::vector<std::string>{"c1", "c2"}), ChildNames(catalog));
  EXPECT_EQ((std::vector<std::string>{"deep", "other.txt"}), ChildNames(FindByPath(catalog, "c1")));
  // Every item is where the base path and its logical path say.
  for (const char* logical : {"c1\\deep\\normal.txt", "c1\\other.txt", "c2\\inside.txt"}) {
    const CFileInfo* item = FindByPath(catalog, logical);
    ASSERT_NE(nullptr, item) << logical;
    std::string real = catalog->m_strCatalogedPath + "/" + logical;
    std::replace(real.begin(), real.end(), '\\', '/');
    struct stat status;
    ASSERT_EQ(0, stat(real.c_str(), &status)) << real;
    EXPECT_EQ(std::uint64_t(status.st_size), item->GetSize());
  }
}

TEST_F(ScanTest, DroppedPathsReportWhatCouldNotBeCatalogued) {
  CRootFileInfo set("s");
  CRecordingSink vanished;
  const CDriveFileInfo* partial =
      set.AddCatalogFromPaths("partial", {m_tree.At("gone.txt"), m_tree.At("docs/a.txt")}, vanished);
  ASSERT_NE(nullptr, partial);
  EXPECT_EQ(std::vector<std::string>{"a.txt"}, ChildNames(partial));
  EXPECT_EQ(std::vector<std::string>{kNotAllCatalogedMessage}, vanished.m_messages);

  // The root stops the list; what came before stays, the last message wins.
  CRecordingSink both;
  const CDriveFileInfo* rooted =
      set.AddCatalogFromPaths("rooted", {m_tree.At("gone.txt"), m_tree.At("empty"), "/", m_tree.At("docs")}, both);
  ASSERT_NE(nullptr, rooted);
  EXPECT_EQ(std::vector<std::string>{"empty"}, ChildNames(rooted));
  EXPECT_EQ(m_tree.Path(), rooted->m_strCatalogedPath);
  EXPECT_EQ(std::vector<std::string>{kDriveAloneMessage}, both.m_messages);
  EXPECT_EQ(2, set.GetCatalogCount());
}

TEST(ScanPathTest, CommonParentAndTrailingSeparator) {
  EXPECT_EQ("/a", CommonParentPath({"/a/x.txt", "/a/y.txt"}));
  EXPECT_EQ("/a", CommonParentPath({"/a", "/a/b"}));
  EXPECT_EQ("/a", CommonParentPath({"/a/b/", "/a/c"}));
  EXPECT_EQ("/", CommonParentPath({"/a/x.txt", "/b/y.txt"}));
  EXPECT_EQ("/", CommonParentPath({"/a", "/"}));
  EXPECT_EQ("/", CommonParentPath({"/ab", "/abc"}));  // whole components only
  EXPECT_EQ("/a", CommonParentPath({"/a/b"}));
  EXPECT_EQ("/", CommonParentPath({"/x"}));
  EXPECT_EQ("", CommonParentPath({}));

  std::string path = "/a/b/";
  StripTrailingSeparator(path);
  EXPECT_EQ("/a/b", path);
  StripTrailingSeparator(path);
  EXPECT_EQ("/a/b", path);
  path = "/";
  StripTrailingSeparator(path);
  EXPECT_EQ("/", path);
}

TEST(ScanDepthTest, PathsLongerThanPathMaxAreWalkedWithFewDescriptors) {
  CScanTree tree;
  const std::string name(200, 'n');
  const int depth = 2 * PATH_MAX / int(name.size());
  ASSERT_EQ(0, mkdir(tree.At("top").c_str(), 0755));
  MakeChain(tree.At("top"), name, depth, true);
  MakeChain(tree.At("top"), "m", depth, true);

  const std::size_t descriptors = OpenDescriptorCount();
  CSortedLister lister;
  auto catalog = std::make_unique<CDriveFileInfo>("deep", tree.Path(), CMediumFacts());
  ScanFolder(tree.Path(), *catalog, lister, 3);
  EXPECT_EQ(descriptors, OpenDescriptorCount());

  for (const std::string& chain : {name, std::string("m")}) {
    const CFileInfo* item = FindByPath(catalog.get(), "top");
    int levels = 0;
    while (item != nullptr && FindByPath(item, chain) != nullptr) {
      item = FindByPath(item, chain);
      ++levels;
      ASSERT_NE(nullptr, FindByPath(item, "f")) << levels;
      ASSERT_NE(nullptr, FindByPath(item, "s\\g")) << levels;
    }
    EXPECT_EQ(depth, levels);
  }

  // The deepest folders as the catalog's base, by paths longer than PATH_MAX.
  std::string deepest = tree.At("top");
  for (int i = 0; i < depth - 1; ++i) deepest += "/" + name;
  ASSERT_GT(deepest.size(), std::size_t(PATH_MAX));
  CRootFileInfo set("s");
  const CDriveFileInfo* last = set.AddCatalog("last", deepest);
  ASSERT_NE(nullptr, last);
  std::vector<std::string> names = ChildNames(last);
  std::sort(names.begin(), names.end());
  EXPECT_EQ((std::vector<std::string>{"f", name, "s"}), names);
  EXPECT_NE(nullptr, FindByPath(last, name + "\\s\\g"));
  const CDriveFileInfo* file = set.AddCatalog("file", deepest + "/f");
  ASSERT_NE(nullptr, file);
  EXPECT_EQ(std::vector<std::string>{"f"}, ChildNames(file));
}

TEST(ScanDepthTest, VeryDeepTreeStopsAtTheDepthLimitSayingSo) {
  CScanTree tree;
  MakeChain(tree.Path(), "d", kMaxDepth + 5, false);
  auto catalog = std::make_unique<CDriveFileInfo>("deep", tree.Path(), CMediumFacts());
  ScanFolder(tree.Path(), *catalog);
  // The folder at the limit keeps its own record, not what is below it, and
  // is marked as not read whole; the one above it was read whole.
  int levels = 0;
  const CFolderFileInfo* folder = catalog.get();
  const CFolderFileInfo* above = nullptr;
  while (!folder->Children().empty()) {
    above = folder;
    folder = static_cast<const CFolderFileInfo*>(folder->Children().front().get());
    ++levels;
  }
  EXPECT_EQ(kMaxDepth, levels);
  EXPECT_TRUE(folder->IsUnreadable());
  EXPECT_FALSE(above->IsUnreadable());
}

TEST(ScanThreadsTest, CatalogIsTheSameWhateverTheNumberOfReaders) {
  CScanTree tree;
  MakeBranchingTree(tree);
  for (const bool follow : {false, true}) {
    std::vector<std::string> sets;
    // Threads asked for, and how many of their starts succeed (-1: all);
    // the walk reads what readers that could not start would have.
    for (const auto& [threads, starts] : {std::pair(1, -1), {1, -1}, {2, -1}, {8, -1}, {8, 2}, {8, 0}}) {
      CScanProgress progress;
      CScanOptions options;
      options.bFollowLinks = follow;
      options.nThreads = threads;
      options.pProgress = &progress;
      auto catalog = std::make_unique<CDriveFileInfo>("disk", tree.Path(), CMediumFacts());
      AllowThreadStartsForTest(starts);
      ScanFolder(tree.Path(), *catalog, options);
      AllowThreadStartsForTest(-1);
      const CScanCounts counts = progress.Counts();
      EXPECT_EQ(CountItemsBelow(*catalog), counts.nFolders + counts.nFiles) << threads;
      CRootFileInfo set("s");
      set.AppendCatalog(std::move(catalog), 0);
      sets.push_back(WriteSetToBytes(set));
    }
    // The first scan may still have set the folders' access times: it only
    // warms up.
    for (std::size_t i = 2; i < sets.size(); ++i)
      EXPECT_TRUE(sets[i] == sets[1]) << "scan " << i << ", links followed: " << follow;
  }
}

// Reads slowly, as a network drive would, and tells how many reads began
// after the scan was cancelled.
class CSlowLister : public CFolderLister {
 public:
  bool ReadEntries(int fd, std::vector<CDirEntry>& out) override {
    if (m_pCancel->load()) ++m_nLate;
    ++m_nReads;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return CFolderLister::ReadEntries(fd, out);
  }
  std::atomic<int> m_nReads{0};
  std::atomic<int> m_nLate{0};
};

TEST(ScanThreadsTest, CancelStopsEveryReaderAndClosesWhatTheyOpened) {
  CScanTree tree;
  MakeBranchingTree(tree);
  const std::size_t descriptors = OpenDescriptorCount();
  std::atomic<bool> cancel{false};
  CScanOptions options;
  options.pCancel = &cancel;
  options.nThreads = 8;
  CSlowLister lister;
  auto catalog = std::make_unique<CDriveFileInfo>("disk", tree.Path(), CMediumFacts());
  std::thread scan([&] { ScanFolder(tree.Path(), *catalog, lister, kScanOpenFolderBudget, options); });
  while (lister.m_nReads < 40) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  cancel = true;
  scan.join();
  // Reads already past their check may still begin, one on each thread.
  EXPECT_LE(lister.m_nLate, 8);
  EXPECT_LT(lister.m_nReads, 200);
  EXPECT_EQ(descriptors, OpenDescriptorCount());
}

}  // namespace
