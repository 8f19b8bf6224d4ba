// Telling which catalog a medium is, and asking for an absent one by name.

#include <gtest/gtest.h>

#include "model/drive_file_info.h"
#include "model/medium_match.h"
#include "model/root_file_info.h"

namespace {

std::unique_ptr<CDriveFileInfo> Catalog(const std::string& label, std::uint64_t total, std::uint64_t free = 1000) {
  return std::make_unique<CDriveFileInfo>(label, "/media/" + label, CMediumFacts{"host", "CD-ROM", free, total});
}

CMediumIdentity Medium(std::string id, std::string fileSystem, std::string label, std::uint64_t total) {
  return {std::move(id), std::move(fileSystem), std::move(label), total, "/"};
}

}  // namespace

TEST(MediumMatch, ByIdWhereBothHaveOneElseByLabelAndSizeWithinOnePercent) {
  CRootFileInfo set("set");
  CDriveFileInfo* old = set.AppendCatalog(Catalog("PHOTOS", 1000000), 0);  // no record: its own label stands in
  CDriveFileInfo* usb = set.AppendCatalog(Catalog("usb", 2000000), 0);
  usb->m_record.emplace();
  usb->m_record->medium = Medium("AB12-CD34", "vfat", "STICK", 2000000);

  EXPECT_EQ(EMediumMatch::ById, MatchMedium(*usb, Medium("AB12-CD34", "vfat", "RENAMED", 3000000)));
  // Another identity is another medium, however alike otherwise.
  EXPECT_EQ(EMediumMatch::None, MatchMedium(*usb, Medium("FFFF-0000", "vfat", "STICK", 2000000)));
  // Where the identity cannot be read (no access to the device).
  EXPECT_EQ(EMediumMatch::ByLabelAndSize, MatchMedium(*usb, Medium("", "vfat", "STICK", 1990000)));
  EXPECT_EQ(EMediumMatch::None, MatchMedium(*usb, Medium("", "vfat", "STICK", 1970000)));
  EXPECT_EQ(EMediumMatch::None, MatchMedium(*usb, Medium("", "exfat", "STICK", 2000000)));

  EXPECT_EQ(EMediumMatch::ByLabelAndSize, MatchMedium(*old, Medium("1234", "iso9660", "PHOTOS", 1000000)));
  EXPECT_EQ(EMediumMatch::None, MatchMedium(*old, Medium("1234", "iso9660", "photos", 1000000)));
  // A catalog that never knew its size matches nothing by size.
  CDriveFileInfo* unknown = set.AppendCatalog(Catalog("NOSIZE", 0), 0);
  EXPECT_EQ(EMediumMatch::None, MatchMedium(*unknown, Medium("", "", "NOSIZE", 0)));

  const std::vector<CMediumMatch> found = FindCatalogsOfMedium(set, Medium("", "iso9660", "PHOTOS", 1000000), 999);
  ASSERT_EQ(1u, found.size());
  EXPECT_EQ(old, found[0].pCatalog);
  EXPECT_TRUE(found[0].bChanged);  // 1000 bytes were free
  EXPECT_FALSE(FindCatalogsOfMedium(set, Medium("", "iso9660", "PHOTOS", 1000000), 1000)[0].bChanged);
}

TEST(MediumMatch, AnAbsentMediumIsDescribedByLabelTypeAndSize) {
  auto old = Catalog("CD1", 681574400);
  EXPECT_EQ("CD1 (CD-ROM, 650MB)", DescribeCatalogMedium(*old));
  old->m_record.emplace();
  old->m_record->medium = Medium("2001-01-01", "iso9660", "", 681574400);
  EXPECT_EQ("ラベルなし (CD-ROM, iso9660, 650MB)", DescribeCatalogMedium(*old));
}
