// Updating a catalog from a new scan: the differences, the notes that stay
// and those that go, a medium found at another place, and dropped paths.

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <ctime>

#include <gtest/gtest.h>

#include "model/catalog_update.h"
#include "model/catalog_verify.h"
#include "model/root_file_info.h"
#include "tests/core/test_util.h"

namespace {

// A file of size bytes, modified at a fixed time long ago.
void MakeFile(const std::string& path, std::uint64_t size, std::int64_t modified = 1500000000) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0) << path;
  ASSERT_EQ(0, ftruncate(fd, off_t(size)));
  const struct timespec times[2] = {{modified, 0}, {modified, 0}};
  ASSERT_EQ(0, futimens(fd, times));
  close(fd);
}

class CatalogUpdateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_strDisk = m_temp.File("disk");
    ASSERT_EQ(0, mkdir(m_strDisk.c_str(), 0755));
    ASSERT_EQ(0, mkdir((m_strDisk + "/docs").c_str(), 0755));
    MakeFile(m_strDisk + "/docs/a.txt", 10);
    MakeFile(m_strDisk + "/keep.txt", 20);
    MakeFile(m_strDisk + "/change.txt", 30);
    MakeFile(m_strDisk + "/gone.txt", 40);
    MakeFile(m_strDisk + "/plain.txt", 50);
  }

  // Catalogs paths as "disk" into m_set, made at time now.
  CDriveFileInfo* Catalog(const std::vector<std::string>& paths, CTime now = std::time(nullptr)) {
    std::unique_ptr<CDriveFileInfo> catalog;
    std::string message;
    EXPECT_EQ(EScanStatus::Done, ScanCatalog("disk", paths, CScanOptions(), catalog, message));
    return catalog ? m_set.AppendCatalog(std::move(catalog), now) : nullptr;
  }

  std::unique_ptr<CDriveFileInfo> Rescan(const CDriveFileInfo& catalog, const std::string& place) {
    std::unique_ptr<CDriveFileInfo> fresh;
    std::string message;
    EXPECT_EQ(EScanStatus::Done, ScanForUpdate(catalog, place, CScanOptions(), fresh, message));
    return fresh;
  }

  CTempDir m_temp;
  std::string m_strDisk;
  CRootFileInfo m_set{"set"};
};

TEST_F(CatalogUpdateTest, DifferencesAreListedAndNotesFollowTheirItems) {
  CDriveFileInfo* catalog = Catalog({m_strDisk});
  ASSERT_NE(nullptr, catalog);
  ASSERT_TRUE(m_set.SetNote("disk", "the disk"));
  ASSERT_TRUE(m_set.SetNote("disk\\docs", "folder note"));
  ASSERT_TRUE(m_set.SetNote("disk\\docs\\a.txt", "file note"));
  ASSERT_TRUE(m_set.SetNote("disk\\change.txt", "changed yet kept"));
  ASSERT_TRUE(m_set.SetNote("disk\\gone.txt", "lost"));

  MakeFile(m_strDisk + "/change.txt", 31);
  ASSERT_EQ(0, std::remove((m_strDisk + "/gone.txt").c_str()));
  ASSERT_EQ(0, std::remove((m_strDisk + "/plain.txt").c_str()));
  MakeFile(m_strDisk + "/docs/new.txt", 5);

  std::unique_ptr<CDriveFileInfo> fresh = Rescan(*catalog, m_strDisk);
  ASSERT_TRUE(fresh);
  std::vector<std::string> lines;
  const CUpdateSummary summary = CompareCatalogs(*catalog, *fresh, [&](EItemChange change, const std::string& path) {
    lines.push_back(std::string(1, char(change)) + " " + path);
  });
  // The folder docs changed too: it got a new entry.
  EXPECT_EQ((std::vector<std::string>{"~ disk\\change.txt", "~ disk\\docs", "+ disk\\docs\\new.txt", "! disk\\gone.txt",
                                      "- disk\\plain.txt"}),
            lines);
  EXPECT_EQ(1u, summary.nAdded);
  EXPECT_EQ(2u, summary.nRemoved);
  EXPECT_EQ(2u, summary.nChanged);
  EXPECT_EQ(3u, summary.nNotesKept);
  EXPECT_EQ(std::vector<std::string>{"disk\\gone.txt"}, summary.lostNotes);
  EXPECT_FALSE(summary.bBasePathChanged);
  EXPECT_TRUE(summary.HasChanges());

  CDriveFileInfo* updated = ApplyCatalogUpdate(m_set, *catalog, std::move(fresh), 2000000000);
  ASSERT_NE(nullptr, updated);
  EXPECT_EQ(1, m_set.GetCatalogCount());
  EXPECT_EQ("disk", updated->m_strLabel);
  EXPECT_EQ("the disk", updated->GetNote());
  EXPECT_EQ(2000000000, updated->m_timeCataloged);
  EXPECT_EQ(2000000000, m_set.m_timeUpdated);
  std::string note;
  m_set.GetNote("disk\\docs", note);
  EXPECT_EQ("folder note", note);
  m_set.GetNote("disk\\docs\\a.txt", note);
  EXPECT_EQ("file note", note);
  m_set.GetNote("disk\\change.txt", note);
  EXPECT_EQ("changed yet kept", note);
  EXPECT_EQ(31u, FindByPath(static_cast<const CFileInfo*>(&m_set), "disk\\change.txt")->GetSize());
  EXPECT_EQ(nullptr, FindByPath(static_cast<const CFileInfo*>(&m_set), "disk\\gone.txt"));
  EXPECT_NE(nullptr, FindByPath(static_cast<const CFileInfo*>(&m_set), "disk\\docs\\new.txt"));

  // Again, with nothing changed on the medium: no differences.
  fresh = Rescan(*updated, m_strDisk);
  ASSERT_TRUE(fresh);
  const CUpdateSummary again = CompareCatalogs(*updated, *fresh);
  EXPECT_FALSE(again.HasChanges());
  EXPECT_EQ(3u, again.nNotesKept);
}

TEST_F(CatalogUpdateTest, MediumAtAnotherPlaceIsFollowedAndCancelChangesNothing) {
  CDriveFileInfo* catalog = Catalog({m_strDisk});
  ASSERT_NE(nullptr, catalog);
  ASSERT_TRUE(m_set.SetNote("disk\\keep.txt", "kept"));
  const std::string moved = m_temp.File("mounted-elsewhere");
  ASSERT_EQ(0, std::rename(m_strDisk.c_str(), moved.c_str()));
  EXPECT_FALSE(CatalogPlacePresent(*catalog));

  std::atomic<bool> cancel{true};
  CScanOptions options;
  options.pCancel = &cancel;
  std::unique_ptr<CDriveFileInfo> fresh;
  std::string message;
  EXPECT_EQ(EScanStatus::Cancelled, ScanForUpdate(*catalog, moved, options, fresh, message));
  EXPECT_FALSE(fresh);
  EXPECT_EQ(EScanStatus::NotFound, ScanForUpdate(*catalog, m_strDisk, CScanOptions(), fresh, message));

  fresh = Rescan(*catalog, moved);
  ASSERT_TRUE(fresh);
  const CUpdateSummary summary = CompareCatalogs(*catalog, *fresh);
  EXPECT_EQ(0u, summary.nAdded + summary.nRemoved + summary.nChanged);
  EXPECT_TRUE(summary.bBasePathChanged);
  CDriveFileInfo* updated = ApplyCatalogUpdate(m_set, *catalog, std::move(fresh), 2000000000);
  ASSERT_NE(nullptr, updated);
  EXPECT_EQ(MakeAbsolutePath(moved), updated->m_strCatalogedPath);
  EXPECT_TRUE(CatalogPlacePresent(*updated));
  std::string note;
  m_set.GetNote("disk\\keep.txt", note);
  EXPECT_EQ("kept", note);
}

TEST_F(CatalogUpdateTest, CatalogOfDroppedPathsIsUpdatedFromThoseAlone) {
  // Telling dropped paths from a whole folder needs birth times.
  CFindData record;
  ASSERT_TRUE(ReadPathRecord(m_strDisk + "/plain.txt", record));
  if (record.ftCreationTime == record.ftLastWriteTime) GTEST_SKIP() << "the file system keeps no birth times";

  MakeFile(m_strDisk + "/docs/b.txt", 1);
  // Made a little later than the entries were.
  CDriveFileInfo* catalog = Catalog({m_strDisk + "/keep.txt", m_strDisk + "/docs/a.txt"}, std::time(nullptr) + 5);
  ASSERT_NE(nullptr, catalog);
  EXPECT_EQ((std::vector<std::string>{m_strDisk + "/keep.txt", m_strDisk + "/docs/a.txt"}),
            CatalogScanPaths(*catalog, m_strDisk));
  MakeFile(m_strDisk + "/keep.txt", 21);
  std::unique_ptr<CDriveFileInfo> fresh = Rescan(*catalog, m_strDisk);
  ASSERT_TRUE(fresh);
  std::vector<std::string> lines;
  CompareCatalogs(*catalog, *fresh, [&](EItemChange change, const std::string& path) {
    lines.push_back(std::string(1, char(change)) + " " + path);
  });
  EXPECT_EQ(std::vector<std::string>{"~ disk\\keep.txt"}, lines);
}

#ifndef _WIN32  // links and FIFOs made with POSIX calls
TEST_F(CatalogUpdateTest, AnEntryOfAnotherKindIsChangedAndTakesNoNote) {
  MakeFile(m_strDisk + "/empty", 0);
  CDriveFileInfo* catalog = Catalog({m_strDisk});
  ASSERT_NE(nullptr, catalog);
  catalog->m_record.emplace();
  catalog->m_record->bKindsRecorded = true;
  for (const char* path : {"disk\\change.txt", "disk\\empty", "disk\\keep.txt", "disk\\plain.txt"})
    ASSERT_TRUE(m_set.SetNote(path, "note"));
  // Same size and time where they can be kept: only the kind tells. The
  // link's own size is that of the 50 bytes of path it holds, as plain.txt's.
  const struct timespec times[2] = {{1500000000, 0}, {1500000000, 0}};
  for (const char* name : {"empty", "keep.txt", "plain.txt"})
    ASSERT_EQ(0, std::remove((m_strDisk + "/" + name).c_str()));
  ASSERT_EQ(0, mkfifo((m_strDisk + "/empty").c_str(), 0644));
  ASSERT_EQ(0, mkdir((m_strDisk + "/keep.txt").c_str(), 0755));
  ASSERT_EQ(0, symlink(std::string(50, 'x').c_str(), (m_strDisk + "/plain.txt").c_str()));
  for (const char* name : {"empty", "keep.txt", "plain.txt"})
    ASSERT_EQ(0, utimensat(AT_FDCWD, (m_strDisk + "/" + name).c_str(), times, AT_SYMLINK_NOFOLLOW));

  std::unique_ptr<CDriveFileInfo> fresh = Rescan(*catalog, m_strDisk);
  ASSERT_TRUE(fresh);
  std::vector<std::string> lines;
  const CUpdateSummary summary = CompareCatalogs(*catalog, *fresh, [&](EItemChange change, const std::string& path) {
    lines.push_back(std::string(1, char(change)) + " " + path);
  });
  const std::vector<std::string> changed{"disk\\empty", "disk\\keep.txt", "disk\\plain.txt"};
  EXPECT_EQ((std::vector<std::string>{"~ disk\\empty", "~ disk\\keep.txt", "~ disk\\plain.txt"}), lines);
  EXPECT_EQ(changed, summary.lostNotes);
  EXPECT_EQ(1u, summary.nNotesKept);
  EXPECT_TRUE(UpdateLooksDestructive(*catalog, summary));
  // A catalog that did not record kinds took the link and the FIFO for
  // files: their notes follow them once; a file that became a folder's not.
  catalog->m_record->bKindsRecorded = false;
  EXPECT_EQ(std::vector<std::string>{"disk\\keep.txt"}, CompareCatalogs(*catalog, *fresh).lostNotes);
  catalog->m_record->bKindsRecorded = true;

  CVerifyResult verified;
  std::string message;
  ASSERT_EQ(EScanStatus::Done, VerifyCatalog(*catalog, m_strDisk, CScanOptions(), verified, message));
  std::vector<std::string> found;
  for (const CVerifyFinding& finding : verified.findings)
    if (finding.eKind == EVerifyKind::Changed) found.push_back(finding.strPath);
  EXPECT_EQ(changed, found);

  ASSERT_NE(nullptr, ApplyCatalogUpdate(m_set, *catalog, std::move(fresh), 2000000000));
  std::string note;
  for (const std::string& path : changed) {
    m_set.GetNote(path, note);
    EXPECT_EQ("", note) << path;
  }
  m_set.GetNote("disk\\change.txt", note);
  EXPECT_EQ("note", note);
}
#endif

// Only the set's own catalogs are updated: one nested in a folder or a
// catalog (sets of other writers) is part of the tree it is in.
TEST(CatalogOfSet, OnlyTheSetsOwnCatalogsAreUpdated) {
  CRootFileInfo set("set");
  CDriveFileInfo* outer = set.AppendCatalog(MakeCatalog("T"), 0);
  const CFindData record = FolderRecord("C");
  CFileInfo* inFolder =
      static_cast<CFolderFileInfo*>(outer->AddChild(&static_cast<const CFindData&>(FolderRecord("d"))))
          ->AddChildOfKind(CFileInfo::KIND_CATALOG, record);
  CFileInfo* inCatalog = outer->AddChildOfKind(CFileInfo::KIND_CATALOG, record);
  EXPECT_TRUE(IsCatalogOfSet(set, *outer));
  EXPECT_FALSE(IsCatalogOfSet(set, *inFolder));
  EXPECT_FALSE(IsCatalogOfSet(set, *inCatalog));
  EXPECT_EQ(nullptr, ApplyCatalogUpdate(set, static_cast<const CDriveFileInfo&>(*inFolder), MakeCatalog("C"), 1));
  EXPECT_EQ(2u, outer->Children().size());
}

}  // namespace
