// Updating catalogs on a real folder: what a catalog made before records
// existed is rescanned from, and which real file a note stays with.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

#include <gtest/gtest.h>

#include "model/catalog_update.h"
#include "model/item_real_name.h"
#include "model/root_file_info.h"
#include "tests/core/test_util.h"

namespace {

void Touch(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0) << path;
  close(fd);
}

// Scans paths with no record, as catalogs were made before records existed.
CDriveFileInfo* CatalogWithoutRecord(CRootFileInfo& set, const std::string& label,
                                     const std::vector<std::string>& paths, CTime now) {
  std::unique_ptr<CDriveFileInfo> catalog;
  std::string message;
  EXPECT_EQ(EScanStatus::Done, ScanCatalog(label, paths, CScanOptions(), catalog, message));
  return catalog ? set.AppendCatalog(std::move(catalog), now) : nullptr;
}

TEST(UpdatePlaces, CatalogWithoutRecordIsRescannedFromWhatItWasMadeOf) {
  CTempDir temp;
  const std::string disk = temp.File("disk"), picked = temp.File("picked");
  ASSERT_EQ(0, mkdir(disk.c_str(), 0755));
  ASSERT_EQ(0, mkdir((disk + "/docs").c_str(), 0755));
  ASSERT_EQ(0, mkdir(picked.c_str(), 0755));
  Touch(disk + "/docs/a.txt");
  Touch(disk + "/older.txt");
  // Files made by touch: their birth time is their modification time.
  for (const char* name : {"/x.txt", "/y.txt", "/unpicked.txt"}) Touch(picked + name);

  CRootFileInfo set("set");
  const CTime catalogedAt = std::time(nullptr) + 1;
  CDriveFileInfo* whole = CatalogWithoutRecord(set, "whole", {disk}, catalogedAt);
  CDriveFileInfo* dropped = CatalogWithoutRecord(set, "dropped", {picked + "/x.txt", picked + "/y.txt"}, catalogedAt);
  ASSERT_TRUE(whole && dropped);
  while (std::time(nullptr) <= catalogedAt) usleep(50000);  // what follows comes after the catalogs
  // An older file moved into a folder scanned whole, and a new one beside it.
  ASSERT_EQ(0, std::rename((disk + "/older.txt").c_str(), (disk + "/docs/older.txt").c_str()));
  Touch(disk + "/docs/new.txt");

  EXPECT_EQ(std::vector<std::string>{disk}, CatalogScanPaths(*whole, disk));
  EXPECT_EQ((std::vector<std::string>{picked + "/x.txt", picked + "/y.txt"}), CatalogScanPaths(*dropped, picked));

  // The first update records what it scanned: the next one does not guess.
  std::unique_ptr<CDriveFileInfo> fresh;
  std::string message;
  ASSERT_EQ(EScanStatus::Done, ScanForUpdate(*dropped, picked, CScanOptions(), fresh, message));
  ASSERT_TRUE(fresh->m_record);
  EXPECT_EQ((std::vector<std::string>{"x.txt", "y.txt"}), fresh->m_record->chosenPaths);
  EXPECT_EQ((std::vector<std::string>{picked + "/x.txt", picked + "/y.txt"}), CatalogScanPaths(*fresh, picked));
}

TEST(UpdatePlaces, NoteStaysWithTheFileWhoseNameBytesItHad) {
  CTempDir temp;
  const std::string disk = temp.File("disk");
  ASSERT_EQ(0, mkdir(disk.c_str(), 0755));
  const std::string sjis = "\x93\xfa\x96\x7b\x8c\xea.txt", utf8 = "日本語.txt";
  Touch(disk + "/" + sjis);

  for (const bool recorded : {true, false}) {
    CRootFileInfo set("set");
    std::unique_ptr<CDriveFileInfo> made;
    std::string message;
    ASSERT_EQ(EScanStatus::Done, MakeCatalog("disk", {disk}, CScanOptions(), made, message));
    // An older set: no record, and no flag of which names were CP932 on disk.
    if (!recorded) {
      made->m_record.reset();
      for (const auto& child : made->Children()) child->SetRealNameCp932(false);
    }
    CDriveFileInfo* catalog = set.AppendCatalog(std::move(made), 1);
    ASSERT_EQ(1, set.SetNote("disk\\" + utf8, "from the Shift-JIS file"));
    Touch(disk + "/" + utf8);

    std::unique_ptr<CDriveFileInfo> fresh;
    ASSERT_EQ(EScanStatus::Done, ScanForUpdate(*catalog, disk, CScanOptions(), fresh, message));
    const CUpdateSummary summary = CompareCatalogs(*catalog, *fresh);
    ApplyCatalogUpdate(set, *catalog, std::move(fresh), 2);
    const auto& updated = static_cast<const CDriveFileInfo&>(*set.Children()[0]);
    ASSERT_EQ(2u, updated.Children().size());
    for (const auto& child : updated.Children()) {
      const bool isSjis = RealNameOf(*child) == sjis;
      // Never on the other file; without a record of the name's bytes, lost and said so.
      EXPECT_EQ(isSjis && recorded ? "from the Shift-JIS file" : "", child->GetNote()) << recorded;
    }
    EXPECT_EQ(recorded ? 0u : 1u, summary.lostNotes.size());
    unlink((disk + "/" + utf8).c_str());
  }
}

}  // namespace
