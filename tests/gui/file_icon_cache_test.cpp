// The icon cache: fixed images first, one image per extension in both lists.

#include <gtest/gtest.h>

#include <map>

#include <wx/image.h>

#include "ui/file_icon_cache.h"

namespace {

// Solid squares, one red per lookup, green the size; can be told to fail.
class CFakeIconSource : public CIconSource {
 public:
  bool LookUp(const std::string& extension, wxBitmap& large, wxBitmap& small) override {
    ++m_mapLookups[extension];
    if (m_bFail) return false;
    const unsigned char shade = static_cast<unsigned char>(40 * m_mapLookups.size());
    large = Square(32, shade);
    small = Square(16, shade);
    return true;
  }
  static wxBitmap Square(int size, unsigned char shade) {
    wxImage image(size, size);
    image.SetRGB(wxRect(0, 0, size, size), shade, static_cast<unsigned char>(size), 255);  // green: the size
    return wxBitmap(image);
  }

  std::map<std::string, int> m_mapLookups;
  bool m_bFail = false;
};

struct FileIconCache : testing::Test {
  FileIconCache() {
    auto source = std::make_unique<CFakeIconSource>();
    m_pSource = source.get();
    m_pCache = std::make_unique<CFileIconCache>(std::move(source));
  }
  CFakeIconSource* m_pSource;
  std::unique_ptr<CFileIconCache> m_pCache;
};

}  // namespace

TEST_F(FileIconCache, FixedImagesComeFirstInBothLists) {
  for (bool large : {false, true}) {
    EXPECT_EQ(m_pCache->GetFileIndex(large), 0);
    EXPECT_EQ(m_pCache->GetFolderIndex(large), 1);
    EXPECT_EQ(m_pCache->GetCatalogIndex(large), 2);
    EXPECT_EQ(m_pCache->GetCatalogSetIndex(large), 3);
  }
  EXPECT_EQ(m_pCache->GetSmallImageList()->GetImageCount(), 4);
  EXPECT_EQ(m_pCache->GetLargeImageList()->GetImageCount(), 4);
  int width = 0, height = 0;
  m_pCache->GetLargeImageList()->GetSize(0, width, height);
  EXPECT_EQ(wxSize(width, height), wxSize(32, 32));
  // The drawings' backdrop colours are transparent.
  const wxImage file = m_pCache->GetSmallImageList()->GetBitmap(0).ConvertToImage();
  const wxImage folder = m_pCache->GetSmallImageList()->GetBitmap(1).ConvertToImage();
  EXPECT_TRUE(file.IsTransparent(0, 0));
  EXPECT_TRUE(folder.IsTransparent(0, 0));
}

TEST_F(FileIconCache, OneSharedImagePerExtensionKeyedCaseSensitively) {
  const int txt = m_pCache->GetImageIndex("a.txt", false, false, false);
  EXPECT_EQ(txt, 4);
  EXPECT_EQ(m_pCache->GetImageIndex("b.tar.txt", false, false, false), txt);
  EXPECT_EQ(m_pCache->GetImageIndex("c.txt", false, false, true), txt);  // same index in the large list
  EXPECT_EQ(m_pCache->GetImageIndex("README.TXT", false, false, true), 5);
  EXPECT_EQ(m_pCache->GetImageIndex("Makefile", false, false, false), 6);  // the empty extension
  EXPECT_EQ(m_pCache->GetImageIndex("LICENSE", false, false, true), 6);
  EXPECT_EQ(m_pSource->m_mapLookups, (std::map<std::string, int>{{".txt", 1}, {".TXT", 1}, {"", 1}}));
  EXPECT_EQ(m_pCache->GetSmallImageList()->GetImageCount(), 7);
  EXPECT_EQ(m_pCache->GetLargeImageList()->GetImageCount(), 7);
  // The bundles the views show keep the same indices; a small image at
  // twice the size is the extension's large one, not a blown-up small one.
  ASSERT_EQ(m_pCache->GetSmallImages().size(), 7u);
  ASSERT_EQ(m_pCache->GetLargeImages().size(), 7u);
  const wxImage doubled = m_pCache->GetSmallImages()[std::size_t(txt)].GetBitmap(wxSize(32, 32)).ConvertToImage();
  EXPECT_EQ(doubled.GetSize(), wxSize(32, 32));
  EXPECT_EQ(doubled.GetGreen(0, 0), 32);
}

TEST_F(FileIconCache, FoldersAndCatalogsIgnoreTheirNamesExtension) {
  EXPECT_EQ(m_pCache->GetImageIndex("photos.zip", true, false, false), CFileIconCache::IMAGE_FOLDER);
  EXPECT_EQ(m_pCache->GetImageIndex("Disc.iso", false, true, true), CFileIconCache::IMAGE_CATALOG);
  EXPECT_EQ(m_pCache->GetImageIndex("x.zip", true, true, false), CFileIconCache::IMAGE_FOLDER);
  EXPECT_TRUE(m_pSource->m_mapLookups.empty());
}

TEST_F(FileIconCache, AFailedLookupGivesTheFileImageAndIsTriedAgain) {
  m_pSource->m_bFail = true;
  EXPECT_EQ(m_pCache->GetImageIndex("a.doc", false, false, false), CFileIconCache::IMAGE_FILE);
  EXPECT_EQ(m_pCache->GetImageIndex("b.doc", false, false, true), CFileIconCache::IMAGE_FILE);
  EXPECT_EQ(m_pCache->GetSmallImageList()->GetImageCount(), 4);
  m_pSource->m_bFail = false;
  EXPECT_EQ(m_pCache->GetImageIndex("c.doc", false, false, false), 4);
  EXPECT_EQ(m_pCache->GetImageIndex("d.doc", false, false, false), 4);
  EXPECT_EQ(m_pSource->m_mapLookups[".doc"], 3);
}

TEST(DesktopIconSource, GivesIconsOfTheListSizesOrNothing) {
  CDesktopIconSource source;
  for (const char* extension : {".txt", "", ".no-such-kind-of-file"}) {
    wxBitmap large, small;
    if (!source.LookUp(extension, large, small)) continue;  // a desktop without icon theme
    EXPECT_EQ(large.GetSize(), wxSize(32, 32)) << extension;
    EXPECT_EQ(small.GetSize(), wxSize(16, 16)) << extension;
  }
}
