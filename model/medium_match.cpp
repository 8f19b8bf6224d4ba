#include "model/medium_match.h"

#include <algorithm>
#include <cctype>

#include "model/catalog_files.h"
#include "model/root_file_info.h"
#include "model/text_format.h"
#include "platform/cp932_codec.h"
#include "platform/dir_reader.h"
#include "platform/media_type.h"

namespace {

// The forms an identity can be compared in: a volume serial (8 hex
// digits), a UUID, and the kernel's fsid (16 hex digits).
struct CIdKeys {
  std::string strSerial, strUuid, strFsid;
};

bool AllHex(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return std::isxdigit((unsigned char)c) != 0; });
}

bool IsExtFamily(const std::string& type) { return type == "ext2" || type == "ext3" || type == "ext4"; }

// The fsid ext file systems give statfs: the two little-endian halves of
// the UUID's bytes XORed.
std::string ExtFsidOf(const std::string& hex32) {
  std::uint64_t halves[2] = {0, 0};
  for (int half = 0; half < 2; ++half)
    for (int i = 7; i >= 0; --i)
      halves[half] = (halves[half] << 8) | std::stoul(hex32.substr(std::size_t(half * 16 + i * 2), 2), nullptr, 16);
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(halves[0] ^ halves[1]));
  return text;
}

CIdKeys KeysOf(const CMediumIdentity& medium) {
  CIdKeys keys;
  const std::string& id = medium.strId;
  if (id.empty()) return keys;
  if (id.compare(0, 5, "fsid:") == 0) {
    keys.strFsid = id.substr(5);
    for (char& c : keys.strFsid) c = char(std::tolower((unsigned char)c));
    return keys;
  }
  std::string hex;
  for (char c : id)
    if (c != '-') hex += char(std::toupper((unsigned char)c));
  if (AllHex(hex) && (hex.size() == 8 || hex.size() == 16)) {
    // NTFS serials are 64 bits where the device is read, 32 on Windows.
    keys.strSerial = hex.substr(hex.size() - 8);
    return keys;
  }
  keys.strUuid = id;
  for (char& c : keys.strUuid) c = char(std::tolower((unsigned char)c));
  if (hex.size() == 32 && AllHex(hex) && IsExtFamily(medium.strFileSystem)) keys.strFsid = ExtFsidOf(hex);
  return keys;
}

bool AtRoot(const std::string& below) { return below == "/" || below == "\\"; }

}  // namespace

EIdCompare CompareMediumIds(const CMediumIdentity& a, const CMediumIdentity& b) {
  const CIdKeys x = KeysOf(a), y = KeysOf(b);
  const auto compare = [](const std::string& p, const std::string& q) {
    return p == q ? EIdCompare::Equal : EIdCompare::Unequal;
  };
  if (!x.strSerial.empty() && !y.strSerial.empty()) return compare(x.strSerial, y.strSerial);
  if (!x.strUuid.empty() && !y.strUuid.empty()) return compare(x.strUuid, y.strUuid);
  if (!x.strFsid.empty() && !y.strFsid.empty()) return compare(x.strFsid, y.strFsid);
  return EIdCompare::Incomparable;
}

std::string MediumIdKey(const CMediumIdentity& medium) {
  const CIdKeys keys = KeysOf(medium);
  if (!keys.strFsid.empty()) return "fsid:" + keys.strFsid;
  if (!keys.strSerial.empty()) return "serial:" + keys.strSerial;
  return keys.strUuid.empty() ? std::string() : "uuid:" + keys.strUuid;
}

CMediumIdentity RecordedMedium(const CDriveFileInfo& catalog) {
  if (catalog.m_record) return catalog.m_record->medium;
  CMediumIdentity medium;
  medium.strVolumeLabel = catalog.m_strLabel;
  medium.nTotalBytes = catalog.m_nTotalBytes;
  return medium;
}

bool SizesAlike(std::uint64_t a, std::uint64_t b) {
  const std::uint64_t larger = std::max(a, b), smaller = std::min(a, b);
  return larger - smaller <= larger / 100;
}

EMediumCheck CompareMedia(const CMediumIdentity& recorded, const CMediumIdentity& now) {
  // Catalogued at the root of its file system, and now the place is some
  // folder of another: the mount point, left behind empty.
  const EMediumCheck other =
      AtRoot(recorded.strBelowMount) && !AtRoot(now.strBelowMount) ? EMediumCheck::Absent : EMediumCheck::Different;
  switch (CompareMediumIds(recorded, now)) {
    case EIdCompare::Equal: {
      const bool samePlace = recorded.strBelowMount.empty() || recorded.strBelowMount == now.strBelowMount ||
                             (AtRoot(recorded.strBelowMount) && AtRoot(now.strBelowMount));
      return samePlace ? EMediumCheck::Same : EMediumCheck::OtherPlace;
    }
    case EIdCompare::Unequal: return other;
    case EIdCompare::Incomparable: break;
  }
  // A size of nothing is one that was never known.
  if (recorded.nTotalBytes != 0 && now.nTotalBytes != 0 && !SizesAlike(recorded.nTotalBytes, now.nTotalBytes))
    return other;
  return EMediumCheck::Unknown;
}

void SampleCatalogFiles(const CDriveFileInfo& catalog, const std::string& place, std::uint32_t& compared,
                        std::uint32_t& found) {
  compared = found = 0;
  const CFileFilter all;
  CCatalogFile file;
  std::uint64_t files = 0;
  for (CCatalogFileWalk walk(catalog, all, &place); walk.Next(file);) ++files;
  // Every step-th file, from the middle of the first step: spread over the tree.
  const std::uint64_t step = std::max<std::uint64_t>(1, (files + kMediumSampleFiles - 1) / kMediumSampleFiles);
  std::uint64_t index = 0;
  for (CCatalogFileWalk walk(catalog, all, &place); walk.Next(file);) {
    if (index++ % step != step / 2 || file.strRealPath.empty()) continue;
    CDirEntry entry;
    const EPathLookup lookup = LookUpPathEntry(file.strRealPath, entry);
    if (lookup == EPathLookup::Unreadable) continue;
    ++compared;
    const CFindData& record = entry.record;
    if (lookup == EPathLookup::Found && !entry.bLink && !entry.bSpecial &&
        (record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && record.Size() == file.pItem->RecordSize() &&
        record.ftLastWriteTime == file.pItem->WriteFileTime())
      ++found;
  }
}

CMediumVerdict JudgeMedium(const CDriveFileInfo& catalog, const std::string& place) {
  CMediumIdentity now;
  ReadMediumIdentity(place, now);
  return JudgeMedium(catalog, place, now);
}

CMediumVerdict JudgeMedium(const CDriveFileInfo& catalog, const std::string& place, const CMediumIdentity& now) {
  CMediumVerdict verdict;
  verdict.recorded = RecordedMedium(catalog);
  verdict.now = now;
  verdict.eCheck = CompareMedia(verdict.recorded, now);
  if (verdict.eCheck != EMediumCheck::Unknown) {
    verdict.eBasis =
        CompareMediumIds(verdict.recorded, now) != EIdCompare::Incomparable ? EMediumBasis::Id : EMediumBasis::Size;
    return verdict;
  }
  SampleCatalogFiles(catalog, place, verdict.nSampled, verdict.nSampleFound);
  if (verdict.nSampled == 0) return verdict;
  verdict.eBasis = EMediumBasis::Sample;
  // A file found with its size and its time to the tick is no accident; a
  // quarter of them found leaves room for a medium much changed since.
  if (verdict.nSampleFound != 0 && verdict.nSampleFound * 4 >= verdict.nSampled)
    verdict.eCheck = EMediumCheck::Same;
  else
    verdict.eCheck = AtRoot(verdict.recorded.strBelowMount) && !AtRoot(now.strBelowMount) ? EMediumCheck::Absent
                                                                                          : EMediumCheck::Different;
  return verdict;
}

std::string DescribeMedium(const CMediumIdentity& medium) {
  std::string text = medium.strVolumeLabel.empty() ? std::string("ラベルなし") : medium.strVolumeLabel;
  text += " (";
  if (!medium.strFileSystem.empty()) text += medium.strFileSystem + ", ";
  return text + FormatSize(medium.nTotalBytes, false) + ")";
}

std::string DescribeCatalogMedium(const CDriveFileInfo& catalog) {
  CMediumIdentity medium = RecordedMedium(catalog);
  // The kind of medium first: it tells the user which drawer to look in.
  if (!catalog.m_strMediaType.empty())
    medium.strFileSystem =
        medium.strFileSystem.empty() ? catalog.m_strMediaType : catalog.m_strMediaType + ", " + medium.strFileSystem;
  return DescribeMedium(medium);
}

std::string VerdictBasisText(const CMediumVerdict& verdict) {
  const bool same = verdict.eCheck == EMediumCheck::Same || verdict.eCheck == EMediumCheck::OtherPlace;
  const std::string counts = " (" + std::to_string(verdict.nSampleFound) + "/" + std::to_string(verdict.nSampled) + ")";
  switch (verdict.eBasis) {
    case EMediumBasis::Id: return same ? "ボリューム ID が一致" : "ボリューム ID が違う";
    case EMediumBasis::Size: return "容量が違う";
    case EMediumBasis::Sample: return (same ? "ファイルの見本が一致" : "ファイルの見本が一致しない") + counts;
    case EMediumBasis::None: break;
  }
  return "判断できない";
}

std::string VerdictDifferenceText(const CMediumVerdict& verdict) {
  const auto describe = [](const CMediumIdentity& medium) {
    return DescribeMedium(medium) + (medium.strId.empty() ? std::string() : " ID " + medium.strId);
  };
  std::string text =
      "カタログのメディア: " + describe(verdict.recorded) + "\nこの場所のメディア: " + describe(verdict.now);
  switch (verdict.eBasis) {
    case EMediumBasis::Id:
      if (verdict.eCheck == EMediumCheck::OtherPlace)
        text += "\n違い: メディアの中の場所 (カタログ: " + EscapeBytes(verdict.recorded.strBelowMount, false) +
                "、この場所: " + EscapeBytes(verdict.now.strBelowMount, false) + ")";
      else
        text += "\n違い: ボリューム ID";
      break;
    case EMediumBasis::Size:
      text += "\n違い: 容量 (" + FormatSize(verdict.recorded.nTotalBytes, true) + " と " +
              FormatSize(verdict.now.nTotalBytes, true) + ")";
      break;
    case EMediumBasis::Sample:
      text += "\n違い: カタログのファイル " + std::to_string(verdict.nSampled) +
              " 件のうち、同じ大きさと日時でこの場所にあるのは " + std::to_string(verdict.nSampleFound) + " 件です";
      break;
    case EMediumBasis::None: break;
  }
  return text;
}

bool MediumLooksChanged(const CDriveFileInfo& catalog, const CMediumIdentity& medium, std::uint64_t freeBytes) {
  return freeBytes != catalog.m_nFreeBytes || medium.nTotalBytes != RecordedMedium(catalog).nTotalBytes;
}

std::vector<CMediumMatch> FindCatalogsOfMedium(const CRootFileInfo& set, const std::string& place,
                                               const CMediumIdentity& now, std::uint64_t freeBytes) {
  std::vector<CMediumMatch> matches;
  for (const auto& child : set.Children()) {
    if (!child->IsCatalog()) continue;
    const auto& catalog = static_cast<const CDriveFileInfo&>(*child);
    CMediumVerdict verdict = JudgeMedium(catalog, place, now);
    // The medium at another place of it is still this catalog's medium.
    if (verdict.eCheck == EMediumCheck::Same || verdict.eCheck == EMediumCheck::OtherPlace)
      matches.push_back({&catalog, std::move(verdict), MediumLooksChanged(catalog, now, freeBytes)});
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
    const std::vector<CMediumMatch> matches = FindCatalogsOfMedium(set, point, medium, 0);
    if (!matches.empty()) found.push_back({point, matches.front().pCatalog});
  }
  return found;
}
