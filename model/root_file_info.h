#pragma once
// The catalog set: the root of the tree, holding the catalogs, and the
// operations the document calls on it. Every operation addresses items by
// logical path.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/catalog_out_options.h"
#include "model/drive_file_info.h"
#include "model/file_info.h"
#include "model/search_fold.h"
#include "model/set_file_error.h"
#include "model/work_progress.h"

// A catalog's label is the first name of its logical paths: one holding
// their separator could never be reached.
inline constexpr const char kLabelSeparatorMessage[] = "ラベルに「\\」は使用できません";

// Receives the messages a scan of dropped paths has for the user.
class CMessageSink {
 public:
  virtual ~CMessageSink() = default;
  virtual void ShowMessage(const std::string& text) = 0;
};

class CRootFileInfo : public CFolderFileInfo {
 public:
  CRootFileInfo() = default;                 // as read from a file: no name, time 0
  explicit CRootFileInfo(std::string name);  // a new set, updated now

  EKind GetKind() const override { return KIND_SET; }
  std::string_view GetName() const override { return m_strSetName; }
  CTime GetModifiedTime() const override { return m_timeUpdated; }
  CTime GetCreatedTime() const override { return m_timeUpdated; }
  std::uint32_t GetAttributes() const override { return 0; }
  void GetInfo(CPropInfoData& info, const std::string& path) const override;
  void Serialize(CArchiveWriter& ar) const override;
  void Serialize(CArchiveReader& ar) override;

  int GetCatalogCount() const { return int(m_children.size()); }

  // What became of the program's own records when the set was read: a
  // block that did not belong to the set object or did not read is worth a
  // notice, since the catalogs lost their records.
  EExtensionState m_extensionState = EExtensionState::None;
  CExtensionDamage m_extensionDamage;  // when Damaged
  // Records of later versions about the set itself, written back as read.
  std::vector<CExtensionRecord> m_extraRecords;

  // Scans path (a folder, the root "/" or a single file) into a new catalog
  // appended to the set; null when label already names an item.
  CDriveFileInfo* AddCatalog(const std::string& label, const std::string& path);
  // Makes one catalog of several dropped paths, each a direct child.
  CDriveFileInfo* AddCatalogFromPaths(const std::string& label, const std::vector<std::string>& paths,
                                      CMessageSink& messages);
  // Stamps catalog and set with the time and appends the catalog.
  CDriveFileInfo* AppendCatalog(std::unique_ptr<CDriveFileInfo> catalog, CTime now);

  // Puts fresh in old's place among the set's catalogs (old is freed with
  // its tree); null, with fresh freed, when old is not one of them.
  CDriveFileInfo* ReplaceCatalog(const CDriveFileInfo& old, std::unique_ptr<CDriveFileInfo> fresh);

  int RemoveCatalog(const std::string& path);
  using CFileInfo::GetNote;
  void GetNote(const std::string& path, std::string& out) const;
  void GetCommonNote(const std::vector<std::string>& paths, std::string& out) const;
  int SetNote(const std::string& path, const std::string& note);
  int SetNotes(const std::vector<std::string>& paths, const std::string& note);
  int ListChildren(const std::string& path, CItemSummaryList& out, bool foldersOnly) const;
  std::unique_ptr<CItemSummary> GetItemSummary(const std::string& path) const;
  void GetSelectionInfo(const std::vector<std::string>& paths, CPropInfoData& info) const;

  // A name pattern holding "*" or "?" matches whole names; "«E9»" in it stands
  // for a byte that is no text, as the views show it (DisplayName).
  int FindByName(const std::string& path, const std::string& pattern, bool exact, bool caseSensitive,
                 CItemSummaryList& out, CTextOptions options = {}) const;
  int FindByNote(const std::string& path, const std::string& pattern, bool exact, bool caseSensitive,
                 CItemSummaryList& out, CTextOptions options = {}) const;
  int FindBySize(const std::string& path, std::uint32_t lowerKB, std::uint32_t upperKB, CItemSummaryList& out) const;
  int FindByDate(const std::string& path, std::optional<CTime> lower, std::optional<CTime> upper,
                 CItemSummaryList& out) const;
  // The search entry the four above use: walks the item at path (the whole
  // set when path names nothing) with predicate; nonzero when something
  // matched. items, when given, receives the matching items too.
  int SearchFrom(const std::string& path, CSearchPredicate predicate, void* params, CItemSummaryList& out,
                 std::vector<const CFileInfo*>* items = nullptr) const;

  // Writes the set, or the catalogs named in catalogs, as an HTML report
  // (CP932). False when the file cannot be written (why in *pError) or
  // progress was cancelled; an old file stays as it was, no other is left
  // behind, and what is not a regular file is never replaced.
  bool WriteHtmlReport(const std::string& path, const std::vector<std::string>* catalogs,
                       const CatalogOutOptions& options, ESetFileError* pError = nullptr,
                       CWorkProgress* progress = nullptr) const;
  // The same report written to an open file.
  bool WriteHtmlReportTo(int fd, const std::vector<std::string>* catalogs, const CatalogOutOptions& options) const;

  std::string m_strSetName;
  std::int32_t m_timeUpdated = 0;

 protected:
  friend class CFileInfo;
  std::string DerivedPath(std::string_view) const override { return {}; }

 private:
  void ForgetFingerprintsOf(const CFileInfo& nested);
};
