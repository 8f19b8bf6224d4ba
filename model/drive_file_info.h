#pragma once
// A catalog: one scanned drive or folder with the facts about its medium.

#include <cstdint>
#include <string>

#include "model/archive.h"
#include "model/file_info.h"

// What is known of a medium when it is catalogued.
struct CMediumFacts {
  std::string strMachineName;
  std::string strMediaType;
  std::uint64_t nFreeBytes = 0;
  std::uint64_t nTotalBytes = 0;
};

class CDriveFileInfo : public CFolderFileInfo {
 public:
  // Gathers the machine name, media type and disk space of basePath.
  CDriveFileInfo(std::string label, std::string basePath);
  CDriveFileInfo(std::string label, std::string basePath, CMediumFacts facts);

  EKind GetKind() const override { return KIND_CATALOG; }
  int IsCatalog() const override { return 1; }
  std::string_view GetName() const override { return m_strLabel; }
  CTime GetModifiedTime() const override { return m_timeCataloged; }
  CTime GetCreatedTime() const override { return m_timeCataloged; }
  std::uint32_t GetAttributes() const override { return 0; }
  std::string GetSizeText(bool) const override { return {}; }
  std::string GetTypeName() const override { return m_strMediaType; }
  void GetInfo(CPropInfoData& info, const std::string& path) const override;
  void Serialize(CArchiveWriter& ar) const override;
  void Serialize(CArchiveReader& ar) override;

  std::string m_strLabel;
  std::int32_t m_timeCataloged = 0;
  std::string m_strReserved;
  std::string m_strMachineName;
  std::string m_strMediaType;
  std::uint64_t m_nFreeBytes = 0;
  std::uint64_t m_nTotalBytes = 0;
  std::string m_strCatalogedPath;

 protected:
  // How the five texts above were stored (in the order written), so that
  // unchanged ones go back byte for byte; empty for most catalogs.
  std::vector<CTextForm> m_textForms;

  friend class CFileInfo;
  CDriveFileInfo() = default;
  std::string DerivedPath(std::string_view parentPath) const override;
};

// Where rest (the logical path after the catalog's name) lies below a
// catalog's base path: base, "/", rest with "\" as "/". A base path that is
// not an absolute path here (a catalog made on another system, "D:" or
// "C:\data") keeps its own form, base "\" rest, which names nothing here.
std::string MakeRealPath(const std::string& basePath, const std::string& rest);
