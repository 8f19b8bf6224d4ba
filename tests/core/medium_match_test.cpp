// Telling which catalog a medium is: one rule, by identity where both sides
// have one that compares, else by a sample of the catalog's files.

#include <gtest/gtest.h>

#include "model/drive_file_info.h"
#include "model/medium_match.h"
#include "model/root_file_info.h"
#include "model/scan.h"
#include "test_util.h"

namespace {

std::unique_ptr<CDriveFileInfo> Catalog(const std::string& label, std::uint64_t total, std::uint64_t free = 1000) {
  return std::make_unique<CDriveFileInfo>(label, "/media/" + label, CMediumFacts{"host", "CD-ROM", free, total});
}

CMediumIdentity Medium(std::string id, std::string fileSystem, std::string label, std::uint64_t total,
                       std::string below = "/") {
  return {std::move(id), std::move(fileSystem), std::move(label), total, std::move(below), ""};
}

}  // namespace

TEST(MediumMatch, IdentitiesCompareInOneFormOnBothSystems) {
  const auto same = [](CMediumIdentity a, CMediumIdentity b) { return CompareMediumIds(a, b); };
  // FAT serials with and without the dash, NTFS by its low 32 bits.
  EXPECT_EQ(EIdCompare::Equal, same(Medium("1A2B-3C4D", "vfat", "", 1), Medium("1a2b3c4d", "FAT32", "", 1)));
  EXPECT_EQ(EIdCompare::Equal, same(Medium("1C9E5A3F9E5A16D8", "ntfs3", "", 1), Medium("9E5A16D8", "NTFS", "", 1)));
  EXPECT_EQ(EIdCompare::Unequal, same(Medium("1C9E5A3F9E5A16D8", "ntfs3", "", 1), Medium("9E5A16D9", "NTFS", "", 1)));
  // An ext UUID read from the device and the fsid a user's statfs gives.
  const CMediumIdentity ext = Medium("11111111-2222-3333-4444-555555555555", "ext4", "DISK1", 1);
  EXPECT_EQ(EIdCompare::Equal, same(ext, Medium("fsid:6666777744445555", "ext4", "", 1)));
  EXPECT_EQ(EIdCompare::Unequal, same(ext, Medium("fsid:3333222266667777", "ext4", "", 1)));
  EXPECT_EQ(MediumIdKey(ext), MediumIdKey(Medium("fsid:6666777744445555", "ext4", "", 1)));
  // No identity, or one of a kind that cannot be told from the other's.
  EXPECT_EQ(EIdCompare::Incomparable, same(ext, Medium("", "ext4", "DISK1", 1)));
  EXPECT_EQ(EIdCompare::Incomparable, same(Medium("0f0e-uuid", "btrfs", "", 1), Medium("fsid:01", "btrfs", "", 1)));
  EXPECT_EQ("", MediumIdKey(Medium("", "tmpfs", "", 1)));
}

TEST(MediumMatch, IdentityDecidesAndThePlaceInsideTheMediumCounts) {
  const CMediumIdentity camera = Medium("2F1C77AA", "vfat", "CAMERA", 8000000000);
  EXPECT_EQ(EMediumCheck::Same, CompareMedia(camera, Medium("2F1C-77AA", "vfat", "RENAMED", 8000000000)));
  // A folder of the same medium is not the place catalogued.
  EXPECT_EQ(EMediumCheck::OtherPlace, CompareMedia(camera, Medium("2F1C77AA", "vfat", "CAMERA", 1, "/DCIM")));
  EXPECT_EQ(EMediumCheck::Different, CompareMedia(camera, Medium("99990000", "vfat", "CAMERA", 8000000000)));
  // The empty mount point left behind, on the disk holding it.
  EXPECT_EQ(EMediumCheck::Absent, CompareMedia(camera, Medium("b0e7", "ext4", "", 250000000000, "/media/camera")));
  // Without identities a size far off tells; a label and a size alike never do.
  const CMediumIdentity ram = Medium("", "tmpfs", "", 10000000);
  EXPECT_EQ(EMediumCheck::Different, CompareMedia(ram, Medium("", "tmpfs", "", 270000000000)));
  EXPECT_EQ(EMediumCheck::Unknown, CompareMedia(ram, Medium("", "tmpfs", "", 10050000)));
}

TEST(MediumMatch, WithoutIdentitiesASampleOfTheFilesDecides) {
  CTempDir disk, other;
  for (int i = 0; i < 100; ++i) WriteFileBytes(disk.File("f" + std::to_string(i)), std::string(std::size_t(i), 'x'));
  WriteFileBytes(other.File("f1"), "y");
  std::unique_ptr<CDriveFileInfo> catalog;
  std::string message;
  ASSERT_EQ(EScanStatus::Done, ScanCatalog("DISK1", {disk.Path()}, CScanOptions(), catalog, message));
  CMediumIdentity unknown;
  unknown.nTotalBytes = catalog->m_nTotalBytes;

  CMediumVerdict verdict = JudgeMedium(*catalog, disk.Path(), unknown);
  EXPECT_EQ(EMediumCheck::Same, verdict.eCheck);
  EXPECT_EQ(EMediumBasis::Sample, verdict.eBasis);
  EXPECT_EQ(50u, verdict.nSampled);  // every other file of 100, spread over them
  EXPECT_EQ(verdict.nSampled, verdict.nSampleFound);
  EXPECT_FALSE(verdict.Certain());

  verdict = JudgeMedium(*catalog, other.Path(), unknown);
  EXPECT_EQ(EMediumCheck::Different, verdict.eCheck);
  EXPECT_NE(std::string::npos,
            VerdictDifferenceText(verdict).find("のうち、同じ大きさと日時でこの場所にあるのは 0 件"));

  // A catalog without a record is judged the same way, never by its label.
  CRootFileInfo set("set");
  set.AppendCatalog(std::move(catalog), 0);
  CMediumIdentity labelled = unknown;
  labelled.strVolumeLabel = "DISK1";
  EXPECT_TRUE(FindCatalogsOfMedium(set, other.Path(), labelled, 0).empty());
  const auto found = FindCatalogsOfMedium(set, disk.Path(), labelled, 0);
  ASSERT_EQ(1u, found.size());
  EXPECT_EQ("ファイルの見本が一致 (50/50)", VerdictBasisText(found[0].verdict));
}

TEST(MediumMatch, AnAbsentMediumIsDescribedByLabelTypeAndSize) {
  auto old = Catalog("CD1", 681574400);
  EXPECT_EQ("CD1 (CD-ROM, 650MB)", DescribeCatalogMedium(*old));
  old->m_record.emplace();
  old->m_record->medium = Medium("2001-01-01", "iso9660", "", 681574400);
  EXPECT_EQ("ラベルなし (CD-ROM, iso9660, 650MB)", DescribeCatalogMedium(*old));
}
