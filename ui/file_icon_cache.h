#pragma once
// The image lists every view shares: four fixed images, then one image per
// file extension in order of first use. Both lists receive every image at the
// same time, so an image has the same index in the small and the large list.

#include <map>
#include <memory>
#include <string>

#include <wx/bmpbndl.h>
#include <wx/imaglist.h>
#include <wx/vector.h>

#include "dialogs/icon_index_source.h"
#include "ui/icon_source.h"
#include "ui/shell_icon_map.h"

class CFileIconCache : public CIconIndexSource {
 public:
  enum : int { IMAGE_FILE = 0, IMAGE_FOLDER = 1, IMAGE_CATALOG = 2, IMAGE_CATALOG_SET = 3 };

  // The process's cache with the desktop's icons, made on first use.
  static CFileIconCache& Get();
  // Releases the process's cache; the application calls it before wx shuts down.
  static void Destroy();

  // A cache of its own whose per-extension icons come from source.
  explicit CFileIconCache(std::unique_ptr<CIconSource> source);
  CFileIconCache(const CFileIconCache&) = delete;
  CFileIconCache& operator=(const CFileIconCache&) = delete;

  // Views install these with SetImageList (not Assign): the cache owns them.
  wxImageList* GetSmallImageList() override { return m_pSmall.get(); }
  wxImageList* GetLargeImageList() override { return m_pLarge.get(); }

  // The same images as bundles, sharp at any scale: the fixed ones are
  // vector images, an extension's small image has its large one for twice
  // the size. The views show these; the indices are those of the lists.
  const wxVector<wxBitmapBundle>& GetSmallImages() const { return m_vecSmall; }
  const wxVector<wxBitmapBundle>& GetLargeImages() const { return m_vecLarge; }

  int GetFileIndex(bool large) const { return large ? m_nLargeFile : m_nSmallFile; }
  int GetFolderIndex(bool large) const override { return large ? m_nLargeFolder : m_nSmallFolder; }
  int GetCatalogIndex(bool large) const { return large ? m_nLargeCatalog : m_nSmallCatalog; }
  int GetCatalogSetIndex(bool large) const override { return large ? m_nLargeSet : m_nSmallSet; }

  // The image of an item named name (its name, not its path, whose folders
  // and catalog label may hold dots): the folder image, else the catalog
  // image, else the image of the name's extension.
  int GetImageIndex(const std::string& name, bool isFolder, bool isCatalog, bool large) override;
  // The image of extension, added to both lists on first use; the generic
  // file image when no icon is found (nothing is kept, the next call retries).
  int GetExtensionIndex(const std::string& extension, bool large);

  // The text from the name's last dot to its end; "" without a dot.
  static std::string ExtensionOf(const std::string& name);

 private:
  std::unique_ptr<CIconSource> m_pSource;
  std::unique_ptr<CShellIconMap> m_pIconMap;  // made on the first miss
  std::unique_ptr<wxImageList> m_pSmall;
  std::unique_ptr<wxImageList> m_pLarge;
  int m_nSmallFile = 0, m_nSmallFolder = 0, m_nSmallCatalog = 0, m_nSmallSet = 0;
  int m_nLargeFile = 0, m_nLargeFolder = 0, m_nLargeCatalog = 0, m_nLargeSet = 0;
  wxVector<wxBitmapBundle> m_vecSmall;
  wxVector<wxBitmapBundle> m_vecLarge;
  std::map<std::string, int> m_mapSmall;  // extension → index, case-sensitive
  std::map<std::string, int> m_mapLarge;
};
