#include "ui/file_icon_cache.h"

#include <wx/bmpbndl.h>

#include "resources/svg_images.h"

namespace {

std::unique_ptr<CFileIconCache>& Instance() {
  static std::unique_ptr<CFileIconCache> instance;
  return instance;
}

wxBitmapBundle FixedImage(const char* name, int size) {
  return wxBitmapBundle::FromSVG(SvgImageText(name), wxSize(size, size));
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
  // Each fixed image goes into both lists and both bundle lists in step.
  auto add = [this](const char* name, int& small, int& large) {
    m_vecSmall.push_back(FixedImage(name, 16));
    m_vecLarge.push_back(FixedImage(name, 32));
    small = m_pSmall->Add(m_vecSmall.back().GetBitmap(wxSize(16, 16)));
    large = m_pLarge->Add(m_vecLarge.back().GetBitmap(wxSize(32, 32)));
  };
  add("file", m_nSmallFile, m_nLargeFile);
  add("folder", m_nSmallFolder, m_nLargeFolder);
  add("catalog", m_nSmallCatalog, m_nLargeCatalog);
  add("catalog_set", m_nSmallSet, m_nLargeSet);
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
  wxVector<wxBitmap> small;
  small.push_back(pair->m_bmpSmall);
  if (pair->m_bmpLarge.IsOk() && pair->m_bmpLarge.GetWidth() == 2 * pair->m_bmpSmall.GetWidth())
    small.push_back(pair->m_bmpLarge);
  m_vecSmall.push_back(wxBitmapBundle::FromBitmaps(small));
  m_vecLarge.push_back(wxBitmapBundle::FromBitmap(pair->m_bmpLarge));
  m_mapLarge[extension] = largeIndex;
  m_mapSmall[extension] = smallIndex;
  return large ? largeIndex : smallIndex;
}
