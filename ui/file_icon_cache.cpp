#include "ui/file_icon_cache.h"

#include <wx/bitmap.h>

#include "resources/catalog_16.xpm"
#include "resources/catalog_32.xpm"
#include "resources/catalog_set_16.xpm"
#include "resources/catalog_set_32.xpm"
#include "resources/file_16.xpm"
#include "resources/file_32.xpm"
#include "resources/folder_16.xpm"
#include "resources/folder_32.xpm"

namespace {

std::unique_ptr<CFileIconCache>& Instance() {
  static std::unique_ptr<CFileIconCache> instance;
  return instance;
}

// The generic file image is drawn on cyan, the others on red; those colours
// are the images' transparent parts.
const wxColour kFileMask(0, 255, 255);
const wxColour kOtherMask(255, 0, 0);

}  // namespace

CFileIconCache& CFileIconCache::Get() {
  auto& instance = Instance();
  if (!instance) instance = std::make_unique<CFileIconCache>(std::make_unique<CDesktopIconSource>());
  return *instance;
}

void CFileIconCache::Destroy() { Instance().reset(); }

CFileIconCache::CFileIconCache(std::unique_ptr<CIconSource> source)
    : m_pSource(std::move(source)),
      m_pSmall(std::make_unique<wxImageList>(16, 16, true, 10)),
      m_pLarge(std::make_unique<wxImageList>(32, 32, true, 10)) {
  m_nSmallFile = m_pSmall->Add(wxBitmap(file_16_xpm), kFileMask);
  m_nSmallFolder = m_pSmall->Add(wxBitmap(folder_16_xpm), kOtherMask);
  m_nSmallCatalog = m_pSmall->Add(wxBitmap(catalog_16_xpm), kOtherMask);
  m_nSmallSet = m_pSmall->Add(wxBitmap(catalog_set_16_xpm), kOtherMask);
  m_nLargeFile = m_pLarge->Add(wxBitmap(file_32_xpm), kFileMask);
  m_nLargeFolder = m_pLarge->Add(wxBitmap(folder_32_xpm), kOtherMask);
  m_nLargeCatalog = m_pLarge->Add(wxBitmap(catalog_32_xpm), kOtherMask);
  m_nLargeSet = m_pLarge->Add(wxBitmap(catalog_set_32_xpm), kOtherMask);
}

std::string CFileIconCache::ExtensionOf(const std::string& name) {
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

int CFileIconCache::GetImageIndex(const std::string& name, bool isFolder, bool isCatalog, bool large) {
  if (isFolder) return GetFolderIndex(large);
  if (isCatalog) return GetCatalogIndex(large);
  return GetExtensionIndex(ExtensionOf(name), large);
}

int CFileIconCache::GetExtensionIndex(const std::string& extension, bool large) {
  auto& map = large ? m_mapLarge : m_mapSmall;
  auto found = map.find(extension);
  if (found != map.end()) return found->second;

  if (!m_pIconMap) m_pIconMap = std::make_unique<CShellIconMap>(*m_pSource);
  const CIconPair* pair = m_pIconMap->GetIconPair(extension);
  if (!pair) return GetFileIndex(large);

  const int largeIndex = m_pLarge->Add(pair->m_bmpLarge);
  const int smallIndex = m_pSmall->Add(pair->m_bmpSmall);
  m_mapLarge[extension] = largeIndex;
  m_mapSmall[extension] = smallIndex;
  return large ? largeIndex : smallIndex;
}
