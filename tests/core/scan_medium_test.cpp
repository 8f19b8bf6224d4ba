// Scans that keep to one medium, report progress and stop when asked.

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "model/scan.h"
#include "test_util.h"

namespace {

void MakeFile(const std::string& path, off_t size) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0) << path;
  ASSERT_EQ(0, ftruncate(fd, size));
  close(fd);
}

// folders: folder items below item; files and bytes likewise.
void Tally(const CFolderFileInfo& item, CScanCounts& out) {
  for (const auto& child : item.Children()) {
    if (child->IsContainer()) {
      ++out.nFolders;
      Tally(static_cast<const CFolderFileInfo&>(*child), out);
    } else {
      ++out.nFiles;
      out.nBytes += child->GetSize();
    }
  }
}

std::unique_ptr<CDriveFileInfo> Scan(const std::string& path, const CScanOptions& options) {
  std::unique_ptr<CDriveFileInfo> catalog;
  std::string message;
  EXPECT_EQ(EScanStatus::Done, ScanCatalog("c", {path}, options, catalog, message));
  return catalog;
}

const CFolderFileInfo* Folder(const CFileInfo* catalog, const std::string& path) {
  const CFileInfo* item = FindByPath(catalog, path);
  EXPECT_TRUE(item != nullptr && item->IsContainer()) << path;
  return item != nullptr && item->IsContainer() ? static_cast<const CFolderFileInfo*>(item) : nullptr;
}

// Sets the cancel flag as it starts reading its second folder.
class CCancellingLister : public CFolderLister {
 public:
  explicit CCancellingLister(std::atomic<bool>& cancel) : m_cancel(cancel) {}
  bool ReadEntries(int fd, std::vector<CDirEntry>& out) override {
    if (++m_nReads == 2) m_cancel = true;
    const std::size_t before = out.size();
    const bool read = CFolderLister::ReadEntries(fd, out);
    m_entriesRead.push_back(out.size() - before);
    return read;
  }
  std::atomic<bool>& m_cancel;
  int m_nReads = 0;
  std::vector<std::size_t> m_entriesRead;
};

TEST(ScanWatchTest, ProgressAgreesWithTheCatalogAndCancelStopsBetweenEntries) {
  CTempDir tree;
  for (const char* folder : {"a", "a/b", "c"}) ASSERT_EQ(0, mkdir(tree.File(folder).c_str(), 0755));
  for (int i = 0; i < 30; ++i) {
    MakeFile(tree.File("a/f" + std::to_string(i)), i * 100);
    MakeFile(tree.File("a/b/g" + std::to_string(i)), i);
    MakeFile(tree.File("c/h" + std::to_string(i)), 7);
  }
  ASSERT_EQ(0, symlink("a", tree.File("link").c_str()));

  CScanProgress progress;
  std::atomic<bool> cancel{false};
  CScanOptions options;
  options.pProgress = &progress;
  options.pCancel = &cancel;
  const auto catalog = Scan(tree.Path(), options);
  ASSERT_NE(nullptr, catalog);
  CScanCounts expected;
  Tally(*catalog, expected);
  const CScanCounts counts = progress.Counts();
  EXPECT_EQ(4u, expected.nFolders);  // a, a/b, c and the link, which is a folder item
  EXPECT_EQ(expected.nFolders, counts.nFolders);
  EXPECT_EQ(expected.nFiles, counts.nFiles);
  EXPECT_EQ(expected.nBytes, counts.nBytes);
  EXPECT_EQ(tree.Path(), progress.CurrentFolder());  // asked for before the scan began

  // Cancelled as the second folder is read: nothing of it is read, nothing
  // after it is opened, and the whole scan gives no catalog. (One reader:
  // others would have begun folders ahead by then.)
  CCancellingLister lister(cancel);
  auto partial = std::make_unique<CDriveFileInfo>("p", tree.Path(), CMediumFacts());
  CScanOptions alone = options;
  alone.nThreads = 1;
  ScanFolder(tree.Path(), *partial, lister, kScanOpenFolderBudget, alone);
  ASSERT_EQ(2u, lister.m_entriesRead.size());
  EXPECT_EQ(0u, lister.m_entriesRead[1]);
  std::unique_ptr<CDriveFileInfo> none;
  std::string message;
  EXPECT_EQ(EScanStatus::Cancelled, ScanCatalog("c", {tree.Path()}, options, none, message));
  EXPECT_EQ(nullptr, none);
}

TEST(ScanMediumTest, FanningLinksAndLinksToAncestorsStayFinite) {
  // Each level holds the next one and two links to it, and a link back to
  // the top: followed blindly, 2^12 copies of the deepest level.
  CTempDir tree;
  std::string level = tree.Path();
  constexpr int kDepth = 12;
  for (int i = 0; i < kDepth; ++i) {
    ASSERT_EQ(0, mkdir((level + "/n").c_str(), 0755));
    ASSERT_EQ(0, symlink("n", (level + "/x").c_str()));
    ASSERT_EQ(0, symlink("n", (level + "/y").c_str()));
    ASSERT_EQ(0, symlink(tree.Path().c_str(), (level + "/top").c_str()));
    level += "/n";
  }
  MakeFile(level + "/leaf.txt", 1);

  const auto recorded = Scan(tree.Path(), CScanOptions());
  ASSERT_NE(nullptr, recorded);
  CScanCounts counts;
  Tally(*recorded, counts);
  EXPECT_EQ(4u * kDepth, counts.nFolders);
  EXPECT_EQ(1u, counts.nFiles);
  const CFileInfo* link = FindByPath(recorded.get(), "x");
  ASSERT_NE(nullptr, link);
  EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT, link->GetAttributes());
  EXPECT_TRUE(Folder(recorded.get(), "x")->Children().empty());

  CScanOptions follow;
  follow.bFollowLinks = true;
  const auto followed = Scan(tree.Path(), follow);
  ASSERT_NE(nullptr, followed);
  CScanCounts once;
  Tally(*followed, once);
  EXPECT_EQ(4u * kDepth, once.nFolders);
  EXPECT_EQ(1u, once.nFiles);
}

// Mounts for one test, detached at its end.
class CMounts {
 public:
  ~CMounts() {
    for (auto it = m_points.rbegin(); it != m_points.rend(); ++it) umount2(it->c_str(), MNT_DETACH);
  }
  bool Mount(const char* source, const std::string& target, const char* type, unsigned long flags = 0) {
    if (mount(source, target.c_str(), type, flags, nullptr) != 0) {
      m_strError = std::string(type ? type : "bind") + ": " + std::strerror(errno);
      return false;
    }
    m_points.push_back(target);
    return true;
  }
  std::string m_strError;

 private:
  std::vector<std::string> m_points;
};

TEST(ScanMediumTest, MountsBelowThePlaceAreEmptyFoldersAndVirtualOnesAreNeverWalked) {
  CTempDir tree;
  for (const char* folder : {"disk", "ram", "proc", "again"}) ASSERT_EQ(0, mkdir(tree.File(folder).c_str(), 0755));
  MakeFile(tree.File("disk/file.txt"), 5);
  CMounts mounts;
  if (!mounts.Mount("quarrix", tree.File("ram"), "tmpfs") || !mounts.Mount("proc", tree.File("proc"), "proc") ||
      !mounts.Mount(tree.Path().c_str(), tree.File("again"), nullptr, MS_BIND))
    GTEST_SKIP() << "mounting is not allowed here (" << mounts.m_strError << ")";
  MakeFile(tree.File("ram/in-ram.txt"), 3);

  const auto one = Scan(tree.Path(), CScanOptions());
  ASSERT_NE(nullptr, one);
  for (const char* mountPoint : {"ram", "proc", "again"})
    EXPECT_TRUE(Folder(one.get(), mountPoint)->Children().empty()) << mountPoint;
  EXPECT_NE(nullptr, FindByPath(one.get(), "disk\\file.txt"));

  // Crossing file systems walks the tmpfs, but never proc, and the bind
  // mount of the scanned folder itself is not walked a second time.
  CScanOptions cross;
  cross.bCrossFileSystems = true;
  const auto all = Scan(tree.Path(), cross);
  ASSERT_NE(nullptr, all);
  EXPECT_NE(nullptr, FindByPath(all.get(), "ram\\in-ram.txt"));
  EXPECT_TRUE(Folder(all.get(), "proc")->Children().empty());
  EXPECT_TRUE(Folder(all.get(), "again")->Children().empty());

  // Chosen directly, a virtual file system gives an empty catalog.
  const auto proc = Scan(tree.File("proc"), cross);
  ASSERT_NE(nullptr, proc);
  EXPECT_TRUE(proc->Children().empty());
}

TEST(ScanLabelTest, VolumeLabelOfTheMountedRootElseTheFolderName) {
  CTempDir tree;
  for (const char* folder : {"disk", "disk/sub", "dev", "by-label"})
    ASSERT_EQ(0, mkdir(tree.File(folder).c_str(), 0755));
  MakeFile(tree.File("dev/sdz1"), 0);
  MakeFile(tree.File("disk/sub/a.txt"), 1);
  MakeFile(tree.File("disk/sub/b.txt"), 1);
  ASSERT_EQ(0, symlink("../dev/sdz1", tree.File("by-label/写真\\x202026").c_str()));
  CMediaRoots roots;
  roots.strMountInfo = tree.File("mountinfo");
  roots.strByLabel = tree.File("by-label");
  WriteFileBytes(roots.strMountInfo,
                 "30 1 8:1 / " + tree.File("disk") + " rw - ext4 " + tree.File("dev/sdz1") + " rw\n");

  EXPECT_EQ("写真 2026", SuggestedCatalogLabel({tree.File("disk")}, roots));
  EXPECT_EQ("sub", SuggestedCatalogLabel({tree.File("disk/sub/")}, roots));
  // Dropped files: the folder they are in.
  EXPECT_EQ("sub", SuggestedCatalogLabel({tree.File("disk/sub/a.txt"), tree.File("disk/sub/b.txt")}, roots));
  EXPECT_EQ("写真 2026", SuggestedCatalogLabel({tree.File("disk/sub") + "/../a/.."}, roots));
}

}  // namespace
