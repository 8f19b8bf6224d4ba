#include "ui/shell_icon_map.h"

#include "ui/icon_source.h"

const CIconPair* CShellIconMap::GetIconPair(const std::string& extension) {
  auto found = m_mapPairs.find(extension);
  if (found != m_mapPairs.end()) return &found->second;
  CIconPair pair;
  if (!m_source.LookUp(extension, pair.m_bmpLarge, pair.m_bmpSmall)) return nullptr;
  if (!pair.m_bmpLarge.IsOk() || !pair.m_bmpSmall.IsOk()) return nullptr;
  return &m_mapPairs.emplace(extension, std::move(pair)).first->second;
}
