#include "ui/file_icon_cache.h"

#include <wx/bmpbndl.h>

#include "resources/svg_images.h"

namespace {

std::unique_ptr<CFileIconCache>& Instance() {
  static std::unique_ptr<CFileIconCache> instance;
  return instance;
}

// A fixed image drawn from its vector image at exactly size×size pixels,
// with its transparency.
wxBitmap FixedImage(const char* name, int size) {
  return wxBitmapBundle::FromSVG(SvgImageText(name), wxSize(size, size)).GetBitmap(wxSize(size, size));
}

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
  m_nSmallFile = m_pSmall->Add(FixedImage("file", 16));
  m_nSmallFolder = m_pSmall->Add(FixedImage("folder", 16));
  m_nSmallCatalog = m_pSmall->Add(FixedImage("catalog", 16));
  m_nSmallSet = m_pSmall->Add(FixedImage("catalog_set", 16));
  m_nLargeFile = m_pLarge->Add(FixedImage("file", 32));
  m_nLargeFolder = m_pLarge->Add(FixedImage("folder", 32));
  m_nLargeCatalog = m_pLarge->Add(FixedImage("catalog", 32));
  m_nLargeSet = m_pLarge->Add(FixedImage("catalog_set", 32));
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
