// The walk under what the system can do to it meanwhile (folders renamed,
// replaced by links, refused, descriptors run out), injected through the
// lister; and what it records of each entry: unreadable places, exclude
// patterns, names taken from CP932.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "model/item_real_name.h"
#include "model/root_file_info.h"
#include "model/scan.h"
#include "model/scan_excludes.h"
#include "tests/core/scan_tree.h"

namespace {

// Fails chosen opens and reads, leaves out the facts of chosen entries, and
// can stand in for a low descriptor limit; reads in name order.
class CFaultLister : public CSortedLister {
 public:
  int OpenFolder(int dirFd, const std::string& name, bool follow) override {
    std::lock_guard<std::mutex> lock(m_mutex);
    const int nth = ++m_opens[name];
    if (m_failOpen.count({name, nth}) != 0 || m_failOpen.count({name, 0}) != 0) {
      errno = ENOENT;
      return -1;
    }
    if (m_nLimit > 0 && m_nOpen >= m_nLimit) {
      errno = EMFILE;
      return -1;
    }
    const int fd = CFolderLister::OpenFolder(dirFd, name, follow);
    if (fd >= 0) {
      ++m_nOpen;
      m_names[fd] = name;
    }
    return fd;
  }
  void CloseFolder(int fd) override {
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      --m_nOpen;
      m_names.erase(fd);
    }
    CFolderLister::CloseFolder(fd);
  }
  bool ReadEntries(int fd, std::vector<CDirEntry>& out) override {
    std::string name;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      name = m_names[fd];
    }
    const bool read = CSortedLister::ReadEntries(fd, out);
    // Part way: what was read so far stays appended.
    if (m_failRead.count(name) != 0) return false;
    for (CDirEntry& entry : out)
      if (m_noFacts.count(entry.strRawName) != 0) {
        entry.record.SetSize(0);
        entry.bUnreadable = true;
      }
    return read;
  }

  std::set<std::pair<std::string, int>> m_failOpen;  // a name and which open of it fails, 0 for all
  std::set<std::string> m_failRead;
  std::set<std::string> m_noFacts;
  int m_nLimit = 0;  // descriptors open at once, 0 for no limit
  int m_nOpen = 0;

 private:
  std::mutex m_mutex;
  std::map<std::string, int> m_opens;
  std::map<int, std::string> m_names;
};

std::unique_ptr<CDriveFileInfo> Scan(const std::string& path, CFolderLister& lister, int budget, int threads,
                                     CScanOptions options = CScanOptions()) {
  options.nThreads = threads;
  auto catalog = std::make_unique<CDriveFileInfo>("disk", path, CMediumFacts());
  ScanFolder(path, *catalog, lister, budget, options);
  return catalog;
}

std::string Levels(int count, const std::string& name) {
  std::string path;
  for (int i = 0; i < count; ++i) path += (i > 0 ? "\\" : "") + name;
  return path;
}

TEST(ScanFaultTest, FolderThatCannotBeReopenedPartWayDownAChainLosesOnlyItsLevel) {
  CScanTree tree;
  ASSERT_EQ(0, mkdir(tree.At("top").c_str(), 0755));
  const int depth = 40;
  MakeChain(tree.At("top"), "n", depth, true);
  CFaultLister lister;
  // The first 40 opens of "n" go down; the later ones reopen chains from the
  // top to reach side folders: one of them fails half way.
  lister.m_failOpen.insert({"n", depth + 20});
  const auto catalog = Scan(tree.Path(), lister, 3, 1);
  EXPECT_EQ(0, lister.m_nOpen);

  const CUnreadableSummary unreadable = CollectUnreadable(*catalog, "disk");
  ASSERT_EQ(1u, unreadable.nCount);
  const std::string lost = unreadable.firstPaths[0];
  for (int level = 1; level <= depth; ++level) {
    const std::string path = "top\\" + Levels(level, "n");
    ASSERT_NE(nullptr, FindByPath(catalog.get(), path + "\\f")) << level;
    if ("disk\\" + path + "\\s" == lost)
      EXPECT_TRUE(static_cast<const CFolderFileInfo*>(FindByPath(catalog.get(), path + "\\s"))->Children().empty());
    else
      EXPECT_NE(nullptr, FindByPath(catalog.get(), path + "\\s\\g")) << level;
  }
  EXPECT_EQ(lost.substr(lost.size() - 2), "\\s");
}

TEST(ScanFaultTest, FolderRenamedBackAndForthDuringDeepScansNeverBreaksTheWalk) {
  CScanTree tree;
  ASSERT_EQ(0, mkdir(tree.At("top").c_str(), 0755));
  MakeChain(tree.At("top"), "d", 300, true);
  std::string middle = tree.At("top");
  for (int i = 0; i < 150; ++i) middle += "/d";
  const std::string moved = middle.substr(0, middle.size() - 1) + "e";

  const std::size_t descriptors = OpenDescriptorCount();
  std::atomic<bool> done{false};
  std::thread renamer([&] {
    for (int i = 0; i < 200000 && !done; ++i) {
      std::rename(middle.c_str(), moved.c_str());
      std::rename(moved.c_str(), middle.c_str());
    }
  });
  for (int scan = 0; scan < 6; ++scan) {
    CSortedLister lister;
    const auto catalog = Scan(tree.Path(), lister, 8, 2);
    // Above the renamed folder nothing is lost.
    for (int level = 1; level < 150; ++level) {
      const std::string path = "top\\" + Levels(level, "d");
      ASSERT_NE(nullptr, FindByPath(catalog.get(), path + "\\s\\g")) << scan << " " << level;
    }
  }
  done = true;
  renamer.join();
  EXPECT_EQ(descriptors, OpenDescriptorCount());
}

TEST(ScanFaultTest, RunningOutOfDescriptorsDropsNothing) {
  CScanTree tree;
  MakeBranchingTree(tree);
  CSortedLister plain;
  const std::uint64_t expected = CountItemsBelow(*Scan(tree.Path(), plain, kScanOpenFolderBudget, 1));

  // The system refuses a descriptor whenever the walk holds 5.
  CFaultLister lister;
  lister.m_nLimit = 5;
  const auto catalog = Scan(tree.Path(), lister, kScanOpenFolderBudget, 2);
  EXPECT_EQ(expected, CountItemsBelow(*catalog));
  EXPECT_EQ(0u, CollectUnreadable(*catalog, "disk").nCount);
  EXPECT_EQ(0, lister.m_nOpen);

  // A real limit, in a child: the budget keeps within it.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const struct rlimit low = {24, 24};
    if (setrlimit(RLIMIT_NOFILE, &low) != 0) _exit(2);
    CFolderLister real;
    const auto limited = Scan(tree.Path(), real, kScanOpenFolderBudget, 2);
    _exit(CountItemsBelow(*limited) == expected && CollectUnreadable(*limited, "disk").nCount == 0 ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(child, waitpid(child, &status, 0));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

// Swaps what the walk is about to open for something else: a link to a
// folder outside, or another folder.
class CSwappingLister : public CFolderLister {
 public:
  explicit CSwappingLister(const CScanTree& tree) : m_tree(tree) {}
  int OpenFolder(int dirFd, const std::string& name, bool follow) override {
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      const bool first = m_swapped.insert(name).second;
      if (first && name == "to-link") {
        EXPECT_EQ(0, rename(m_tree.At("top/to-link").c_str(), m_tree.At("to-link.old").c_str()));
        EXPECT_EQ(0, symlink(m_tree.At("outside").c_str(), m_tree.At("top/to-link").c_str()));
      } else if (first && name == "to-other") {
        EXPECT_EQ(0, rename(m_tree.At("top/to-other").c_str(), m_tree.At("to-other.old").c_str()));
        EXPECT_EQ(0, rename(m_tree.At("other").c_str(), m_tree.At("top/to-other").c_str()));
      }
    }
    return CFolderLister::OpenFolder(dirFd, name, follow);
  }

 private:
  const CScanTree& m_tree;
  std::mutex m_mutex;
  std::set<std::string> m_swapped;
};

TEST(ScanFaultTest, FolderReplacedAfterItWasListedIsNotWalked) {
  CScanTree tree;
  for (const char* folder : {"top", "top/to-link", "top/to-other", "outside", "other"})
    ASSERT_EQ(0, mkdir(tree.At(folder).c_str(), 0755));
  for (const char* file : {"top/to-link/mine.txt", "top/to-other/mine.txt", "outside/secret.txt", "other/secret.txt"})
    MakeFile(tree.At(file), 1);
  CSwappingLister lister(tree);
  const auto catalog = Scan(tree.At("top"), lister, kScanOpenFolderBudget, 1);
  for (const char* name : {"to-link", "to-other"}) {
    const CFileInfo* folder = FindByPath(catalog.get(), name);
    ASSERT_NE(nullptr, folder) << name;
    EXPECT_TRUE(folder->IsUnreadable()) << name;
    EXPECT_TRUE(static_cast<const CFolderFileInfo*>(folder)->Children().empty()) << name;
  }
}

TEST(ScanFaultTest, PlacesThatCannotBeReadAreMarkedAndWhatTheOptionsLeaveOutIsNot) {
  CScanTree tree;
  for (const char* folder : {"docs", "docs/broken", "docs/locked", "docs/fine"})
    ASSERT_EQ(0, mkdir(tree.At(folder).c_str(), 0755));
  for (const char* file : {"docs/broken/a.txt", "docs/locked/b.txt", "docs/fine/c.txt", "docs/nofacts.txt"})
    MakeFile(tree.At(file), 5);
  ASSERT_EQ(0, symlink("fine", tree.At("docs/link").c_str()));
  CFaultLister lister;
  lister.m_failOpen.insert({"locked", 0});
  lister.m_failRead.insert("broken");
  lister.m_noFacts.insert("nofacts.txt");
  const auto catalog = Scan(tree.Path(), lister, kScanOpenFolderBudget, 2);

  const CUnreadableSummary unreadable = CollectUnreadable(*catalog, "disk", 2);
  EXPECT_EQ(3u, unreadable.nCount);
  EXPECT_EQ((std::vector<std::string>{"disk\\docs\\broken", "disk\\docs\\locked"}), unreadable.firstPaths);
  EXPECT_TRUE(FindByPath(catalog.get(), "docs\\nofacts.txt")->IsUnreadable());
  for (const char* folder : {"docs\\broken", "docs\\locked"})
    EXPECT_TRUE(static_cast<const CFolderFileInfo*>(FindByPath(catalog.get(), folder))->Children().empty());
  EXPECT_FALSE(FindByPath(catalog.get(), "docs\\link")->IsUnreadable());
  EXPECT_NE(nullptr, FindByPath(catalog.get(), "docs\\fine\\c.txt"));

  // A place that cannot be opened at all.
  auto gone = std::make_unique<CDriveFileInfo>("gone", tree.At("missing"), CMediumFacts());
  ScanFolder(tree.At("missing"), *gone);
  EXPECT_EQ(1u, CollectUnreadable(*gone, "gone").nCount);
}

TEST(ScanExcludeTest, PatternsMatchNamesOrPathsBelowThePlaceScanned) {
  EXPECT_TRUE(GlobMatches("*.tmp", "a.tmp"));
  EXPECT_FALSE(GlobMatches("*.tmp", "a.tmpl"));
  EXPECT_TRUE(GlobMatches("?.txt", "表.txt"));
  EXPECT_TRUE(GlobMatches("a*b*c", "aXbYbc"));
  EXPECT_FALSE(GlobMatches("a*b*c", "aXbY"));

  CScanTree tree;
  for (const char* folder : {".git", "node_modules", "System Volume Information", "$RECYCLE.BIN", "sub", "sub/dir",
                             "sub/dirx", "other", "other/sub", "other/sub/dir"})
    ASSERT_EQ(0, mkdir(tree.At(folder).c_str(), 0755));
  for (const char* file : {".git/x", "node_modules/y", "a.tmp", "keep.txt", "System Volume Information/z",
                           "$RECYCLE.BIN/w", "sub/dir/v", "sub/dirx/u", "other/sub/dir/t"})
    MakeFile(tree.At(file), 3);
  CScanProgress progress;
  CScanOptions options;
  options.excludes = {".git", "node_modules", "*.tmp", "System Volume Information", "$RECYCLE.BIN", "sub/dir"};
  options.pProgress = &progress;
  CFolderLister lister;
  const auto catalog = Scan(tree.Path(), lister, kScanOpenFolderBudget, 2, options);
  for (const char* kept : {"keep.txt", "sub\\dirx\\u", "other\\sub\\dir\\t"})
    EXPECT_NE(nullptr, FindByPath(catalog.get(), kept)) << kept;
  for (const char* left : {".git", "node_modules", "a.tmp", "System Volume Information", "$RECYCLE.BIN", "sub\\dir"})
    EXPECT_EQ(nullptr, FindByPath(catalog.get(), left)) << left;
  const CScanCounts counts = progress.Counts();
  EXPECT_EQ(CountItemsBelow(*catalog), counts.nFolders + counts.nFiles);

  // Dropped paths: matched below their common parent.
  std::unique_ptr<CDriveFileInfo> dropped;
  std::string message;
  options.pProgress = nullptr;
  ASSERT_EQ(EScanStatus::Done,
            ScanCatalog("d", {tree.At("sub"), tree.At("a.tmp"), tree.At("keep.txt")}, options, dropped, message));
  EXPECT_NE(nullptr, FindByPath(dropped.get(), "sub\\dirx\\u"));
  EXPECT_NE(nullptr, FindByPath(dropped.get(), "keep.txt"));
  EXPECT_EQ(nullptr, FindByPath(dropped.get(), "sub\\dir"));
  EXPECT_EQ(nullptr, FindByPath(dropped.get(), "a.tmp"));
}

TEST(ScanNamesTest, NamesTakenFromCp932AreMarkedAndGiveTheirBytesBack) {
  CScanTree tree;
  const std::string raw = "\x8A\xBF\x8E\x9A.txt";  // 漢字.txt in Shift-JIS
  MakeFile(tree.At(raw), 1);
  MakeFile(tree.At("plain.txt"), 1);
  CFolderLister lister;
  const auto catalog = Scan(tree.Path(), lister, kScanOpenFolderBudget, 1);
  const CFileInfo* named = FindByPath(catalog.get(), "漢字.txt");
  ASSERT_NE(nullptr, named);
  EXPECT_TRUE(named->IsRealNameCp932());
  EXPECT_EQ(raw, RealNameOf(*named));
  EXPECT_FALSE(FindByPath(catalog.get(), "plain.txt")->IsRealNameCp932());

  std::unique_ptr<CDriveFileInfo> dropped;
  std::string message;
  ASSERT_EQ(EScanStatus::Done,
            ScanCatalog("d", {tree.At(raw), tree.At("plain.txt")}, CScanOptions(), dropped, message));
  ASSERT_NE(nullptr, FindByPath(dropped.get(), "漢字.txt"));
  EXPECT_EQ(raw, RealNameOf(*FindByPath(dropped.get(), "漢字.txt")));
}

}  // namespace
