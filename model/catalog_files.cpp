#include "model/catalog_files.h"

#include "model/item_real_name.h"
#include "platform/cp932_codec.h"
#include "platform/path_separator.h"

CCatalogFileWalk::CCatalogFileWalk(const CDriveFileInfo& catalog, const CFileFilter& filter, const std::string* place)
    : m_filter(filter) {
  m_strPath = place != nullptr ? *place : UnescapeBytes(catalog.m_strCatalogedPath);
  if (!m_strPath.empty() && std::string_view(kPathSeparators).find(m_strPath.back()) == std::string_view::npos)
    m_strPath += kPathSeparator;
  m_stack.push_back({&catalog, 0, m_strPath.size()});
}

bool CCatalogFileWalk::Next(CCatalogFile& file) {
  while (!m_stack.empty()) {
    CLevel& level = m_stack.back();
    if (level.nNext == level.pFolder->Children().size()) {
      m_stack.pop_back();
      continue;
    }
    const CFileInfo& item = *level.pFolder->Children()[level.nNext++];
    ++m_nOffset;
    m_strPath.resize(level.nPathLength);
    const std::string name = RealNameOf(item);
    const bool plain = IsPlainRealName(name);
    m_strPath += name;
    if (item.IsContainer()) {
      if (plain) {
        m_strPath += kPathSeparator;
        m_stack.push_back({static_cast<const CFolderFileInfo*>(&item), 0, m_strPath.size()});
      } else {
        m_nOffset += std::uint32_t(CountItemsBelow(static_cast<const CFolderFileInfo&>(item)));
      }
      continue;
    }
    // Links and other entries that are not regular files hold no content of
    // their own to read.
    if (item.IsUnreadable() || item.EntryKind() != CFileInfo::EEntryKind::Regular ||
        (m_filter && !m_filter(item, m_nOffset)))
      continue;
    file.nOffset = m_nOffset;
    file.pItem = &item;
    file.strRealPath = plain ? m_strPath : std::string();
    return true;
  }
  return false;
}
