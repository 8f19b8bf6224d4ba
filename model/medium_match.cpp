#include "model/medium_match.h"

#include <algorithm>

#include "model/catalog_update.h"
#include "model/root_file_info.h"
#include "platform/media_type.h"

EMediumMatch MatchMedium(const CDriveFileInfo& catalog, const CMediumIdentity& medium) {
  const CMediumIdentity* recorded = catalog.m_record ? &catalog.m_record->medium : nullptr;
  if (recorded && !recorded->strId.empty() && !medium.strId.empty())
    return recorded->strId == medium.strId ? EMediumMatch::ById : EMediumMatch::None;
  if (recorded && !recorded->strFileSystem.empty() && recorded->strFileSystem != medium.strFileSystem)
    return EMediumMatch::None;
  const std::string& label = recorded ? recorded->strVolumeLabel : catalog.m_strLabel;
  const std::uint64_t total = recorded ? recorded->nTotalBytes : catalog.m_nTotalBytes;
  // A size of nothing is one that was never known.
  return total != 0 && label == medium.strVolumeLabel && SizesAlike(total, medium.nTotalBytes)
             ? EMediumMatch::ByLabelAndSize
             : EMediumMatch::None;
}

bool MediumLooksChanged(const CDriveFileInfo& catalog, const CMediumIdentity& medium, std::uint64_t freeBytes) {
  const std::uint64_t total = catalog.m_record ? catalog.m_record->medium.nTotalBytes : catalog.m_nTotalBytes;
  return freeBytes != catalog.m_nFreeBytes || medium.nTotalBytes != total;
}

std::vector<CMediumMatch> FindCatalogsOfMedium(const CRootFileInfo& set, const CMediumIdentity& medium,
                                               std::uint64_t freeBytes) {
  std::vector<CMediumMatch> matches;
  for (const auto& child : set.Children()) {
    if (!child->IsCatalog()) continue;
    const auto& catalog = static_cast<const CDriveFileInfo&>(*child);
    const EMediumMatch how = MatchMedium(catalog, medium);
    if (how != EMediumMatch::None) matches.push_back({&catalog, how, MediumLooksChanged(catalog, medium, freeBytes)});
  }
  return matches;
}

std::vector<CNewMedium> CatalogsOfNewMounts(const CRootFileInfo& set, const std::vector<std::string>& before,
                                            const std::vector<std::string>& now) {
  std::vector<CNewMedium> found;
  for (const std::string& point : now) {
    if (std::find(before.begin(), before.end(), point) != before.end()) continue;
    CMediumIdentity medium;
    if (!ReadMediumIdentity(point, medium)) continue;
    const std::vector<CMediumMatch> matches = FindCatalogsOfMedium(set, medium, 0);
    if (!matches.empty()) found.push_back({point, matches.front().pCatalog});
  }
  return found;
}

std::string DescribeCatalogMedium(const CDriveFileInfo& catalog) {
  CMediumIdentity medium;
  if (catalog.m_record) {
    medium = catalog.m_record->medium;
  } else {
    medium.strVolumeLabel = catalog.m_strLabel;
    medium.nTotalBytes = catalog.m_nTotalBytes;
  }
  // The kind of medium first: it tells the user which drawer to look in.
  if (!catalog.m_strMediaType.empty())
    medium.strFileSystem =
        medium.strFileSystem.empty() ? catalog.m_strMediaType : catalog.m_strMediaType + ", " + medium.strFileSystem;
  return DescribeMedium(medium);
}
