#include "model/drive_file_info.h"

#include <algorithm>

#include "model/archive.h"
#include "model/item_arena.h"
#include "model/text_format.h"
#include "platform/real_name.h"

CDriveFileInfo::CDriveFileInfo() : m_pOwnArena(std::make_unique<CItemArena>()) { m_pArena = m_pOwnArena.get(); }

CDriveFileInfo::CDriveFileInfo(std::string label, std::string basePath, CMediumFacts facts)
    : m_strLabel(std::move(label)),
      m_strMachineName(std::move(facts.strMachineName)),
      m_strMediaType(std::move(facts.strMediaType)),
      m_nFreeBytes(facts.nFreeBytes),
      m_nTotalBytes(facts.nTotalBytes),
      m_strCatalogedPath(PathTextOf(basePath)),
      m_pOwnArena(std::make_unique<CItemArena>()) {
  m_pArena = m_pOwnArena.get();
}

// The tree goes before the arena it lives in.
CDriveFileInfo::~CDriveFileInfo() { DestroyChildren(); }

bool CDriveFileInfo::SwapTree(CDriveFileInfo& other) {
  if (!m_pOwnArena || !other.m_pOwnArena) return false;
  // Every folder of a tree points to the arena object, which stays put.
  m_children.swap(other.m_children);
  m_pOwnArena.swap(other.m_pOwnArena);
  m_fingerprints.Swap(other.m_fingerprints);
  std::swap(m_pArena, other.m_pArena);
  return true;
}

std::string CDriveFileInfo::DerivedPath(std::string_view) const { return m_strLabel; }

void CDriveFileInfo::GetInfo(CPropInfoData& info, const std::string&) const {
  info.m_nType = CPropInfoData::TYPE_CATALOG;
  info.m_strName = m_strLabel;
  info.m_strNote = GetNote();
  info.m_strCreated = FormatTime(GetCreatedTime());
  std::uint64_t total = 0;
  SumContentSizes(total);
  info.m_strSize = FormatSize(total, true);
  info.m_strMachine = m_strMachineName;
  info.m_strFreeSpace = FormatSize(m_nFreeBytes, true);
  info.m_strTotalSpace = FormatSize(m_nTotalBytes, true);
  info.m_strMedia = m_strMediaType;
  info.m_strBasePath = m_strCatalogedPath;
  info.m_strRecord = m_record ? CatalogRecordText(*m_record) : "記録なし (古い形式のカタログ)";
}

void CDriveFileInfo::Serialize(CArchiveWriter& ar) const {
  std::size_t next = 0;
  auto write = [&](const std::string& text) {
    if (m_textForms.empty()) return ar.WriteString(text);
    const CTextForm& form = m_textForms[next++];
    ar.WriteString(text, form.bWide, form.strRaw);
  };
  write(m_strLabel);
  ar.WriteDword(std::uint32_t(m_timeCataloged));
  write(m_strReserved);
  write(m_strMachineName);
  write(m_strMediaType);
  ar.WriteDword(std::uint32_t(m_nFreeBytes));
  ar.WriteDword(std::uint32_t(m_nFreeBytes >> 32));
  ar.WriteDword(std::uint32_t(m_nTotalBytes));
  ar.WriteDword(std::uint32_t(m_nTotalBytes >> 32));
  write(m_strCatalogedPath);
}

void CDriveFileInfo::Serialize(CArchiveReader& ar) {
  std::uint32_t time = 0, freeLow = 0, freeHigh = 0, totalLow = 0, totalHigh = 0;
  std::vector<CTextForm> forms(5);
  ar.ReadString(m_strLabel, UINT32_MAX, &forms[0]);
  ar.ReadDword(time);
  ar.ReadString(m_strReserved, UINT32_MAX, &forms[1]);
  ar.ReadString(m_strMachineName, UINT32_MAX, &forms[2]);
  ar.ReadString(m_strMediaType, UINT32_MAX, &forms[3]);
  ar.ReadDword(freeLow);
  ar.ReadDword(freeHigh);
  ar.ReadDword(totalLow);
  ar.ReadDword(totalHigh);
  ar.ReadString(m_strCatalogedPath, UINT32_MAX, &forms[4]);
  if (std::any_of(forms.begin(), forms.end(), [](const CTextForm& f) { return f.bWide || !f.strRaw.empty(); }))
    m_textForms = std::move(forms);
  m_timeCataloged = std::int32_t(time);
  m_nFreeBytes = (std::uint64_t(freeHigh) << 32) | freeLow;
  m_nTotalBytes = (std::uint64_t(totalHigh) << 32) | totalLow;
}
