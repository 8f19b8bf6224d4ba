// Real paths of catalogued items: built from what the catalog recorded, byte
// for byte, never leading out of the catalog's place.

#include <gtest/gtest.h>

#include "model/item_real_name.h"
#include "platform/cp932_codec.h"
#include "platform/real_name.h"
#include "tests/core/test_util.h"

namespace {

CFileInfo* AddNamed(CFolderFileInfo& folder, const std::string& realName, bool folderItem = false) {
  CFindData record = folderItem ? FolderRecord(ItemNameOf(realName)) : FileRecord(ItemNameOf(realName));
  CFileInfo* item = folder.AddChild(&record);
  item->SetRealNameCp932(UnescapeBytes(record.cFileName) != realName);  // as the scanner marks them
  return item;
}

const std::string kHyou = "\x95\x5c";  // 表 in CP932

}  // namespace

// Names that are not UTF-8 come back as the bytes they were, distinct files
// give distinct paths, and a catalog with a record never asks the disk: its
// base path here does not even exist.
TEST(RealPathOfItem, GivesTheRecordedBytesWithoutTheDisk) {
  CRootFileInfo set("set");
  CDriveFileInfo* catalog = set.AppendCatalog(MakeCatalog("CD"), 0);
  catalog->m_strCatalogedPath = "/nonexistent/caf\xee\xbf\xa9";  // the base path's escaped \xE9
  catalog->m_record = CCatalogRecord();
  auto* folder = static_cast<CFolderFileInfo*>(AddNamed(*catalog, kHyou, true));
  ASSERT_TRUE(folder->IsRealNameCp932());
  std::vector<std::string> names = {"caf\xe9.txt", "\x80", "\xff", "\x81\xe0", "\x87\x90", "a\\b"};
  std::vector<const CFileInfo*> items;
  for (const std::string& name : names) items.push_back(AddNamed(*folder, name));
  // NEC's ≒ is no exact CP932 form: kept as escapes, apart from the other ≒.
  EXPECT_NE(items[3]->GetName(), items[4]->GetName());

  const std::vector<std::optional<std::string>> paths = RealPathsOfItems(set, items);
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::string expected = "/nonexistent/caf\xe9/" + kHyou + "/" + names[i];
    EXPECT_EQ(paths[i], expected) << i;
    EXPECT_EQ(RealPathOfItem(*catalog, std::string(folder->GetName()) + "\\" + std::string(items[i]->GetName())),
              expected)
        << i;
  }
  EXPECT_EQ(RealPathsOfItems(set, {catalog, &set}),
            (std::vector<std::optional<std::string>>{std::string("/nonexistent/caf\xe9"), std::nullopt}));
}

// Without a record nothing says which names were CP932: the disk is asked.
TEST(RealPathOfItem, ACatalogWithoutARecordLooksAtTheDisk) {
  CTempDir dir;
  WriteFileBytes(dir.File(kHyou), "x");
  auto catalog = MakeCatalog("CD");
  catalog->m_strCatalogedPath = dir.Path();
  CFindData record = FileRecord("表");
  catalog->AddChild(&record);
  EXPECT_EQ(RealPathOfItem(*catalog, "表"), dir.File(kHyou));
  catalog->m_record = CCatalogRecord();  // the flag is not set: the name was UTF-8
  EXPECT_EQ(RealPathOfItem(*catalog, "表"), dir.File("表"));
}

// Hand-built sets may hold names that would climb out of the catalog.
TEST(RealPathOfItem, NamesLeadingOutOfThePlaceGiveNothing) {
  for (const bool recorded : {false, true}) {
    auto catalog = MakeCatalog("CD");
    catalog->m_strCatalogedPath = "/media/cd";
    if (recorded) catalog->m_record = CCatalogRecord();
    CFindData up = FolderRecord("..");
    auto* folder = static_cast<CFolderFileInfo*>(catalog->AddChild(&up));
    for (const char* name : {"../../etc/passwd", ".", "", "a\xee\xbc\x80"}) {  // the last one holds a NUL
      CFindData record = FileRecord(name);
      const CFileInfo* item = catalog->AddChild(&record);
      EXPECT_FALSE(RealPathOfItem(*catalog, std::vector<const CFileInfo*>{item})) << name;
      if (*name != '\0') {  // "" is the catalog itself
        EXPECT_FALSE(RealPathOfItem(*catalog, name)) << name;
      }
    }
    EXPECT_FALSE(RealPathOfItem(*catalog, "..\\x"));
    EXPECT_FALSE(RealPathOfItem(*catalog, std::vector<const CFileInfo*>{folder}));
    EXPECT_EQ(RealPathOfItem(*catalog, "a..b"), "/media/cd/a..b");
  }
}
