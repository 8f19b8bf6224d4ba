#pragma once
// A catalog: one scanned drive or folder with the facts about its medium.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "model/archive.h"
#include "model/catalog_record.h"
#include "model/file_info.h"
#include "model/fingerprints.h"
#include "model/set_extension.h"

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
  ~CDriveFileInfo() override;

  // Exchanges this catalog's tree with other's, each with its arena: how a
  // catalog's tree is replaced wholesale (children never move between
  // catalogs one by one). False, and nothing changes, when either is nested
  // in another catalog and so shares that one's arena.
  bool SwapTree(CDriveFileInfo& other);

  EKind GetKind() const override { return KIND_CATALOG; }
  bool IsCatalog() const override { return true; }
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
  // How the catalog was made; none for catalogs of older versions and of
  // other programs, and for sets whose extension block was lost.
  std::optional<CCatalogRecord> m_record;
  // Content fingerprints of its files, when the catalog was made with them.
  CFingerprintTable m_fingerprints;
  // Records of later versions about this catalog and its items, keyed from
  // the catalog, written back as they were read.
  std::vector<CExtensionRecord> m_extraRecords;

 protected:
  // How the five texts above were stored (in the order written), so that
  // unchanged ones go back byte for byte; empty for most catalogs.
  std::vector<CTextForm> m_textForms;

  friend class CFileInfo;
  friend class CFolderFileInfo;
  CDriveFileInfo();
  std::string DerivedPath(std::string_view parentPath) const override;

 private:
  // The arena of this catalog's items; null in a catalog nested in another,
  // whose arena it shares.
  std::unique_ptr<CItemArena> m_pOwnArena;
};
