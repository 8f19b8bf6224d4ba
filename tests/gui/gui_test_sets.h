#pragma once
// Small catalog sets for the GUI tests, and the search forwarders over one.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/search_source.h"
#include "model/root_file_info.h"

// A file or folder record; writeTime is seconds since 1970 (0: none).
CFindData TestFile(const std::string& name, std::uint64_t size = 0, std::int64_t writeTime = 0);
CFindData TestFolder(const std::string& name, std::int64_t writeTime = 0);

// An empty catalog with fixed medium facts, not yet in a set.
std::unique_ptr<CDriveFileInfo> TestCatalog(const std::string& label);

CFileInfo* Add(CFolderFileInfo& folder, const CFindData& record);
CFolderFileInfo* AddFolder(CFolderFileInfo& folder, const CFindData& record);

// The search forwarders as the document offers them, straight to a set.
class CSetSearchSource : public CSearchSource {
 public:
  explicit CSetSearchSource(const CRootFileInfo& set) : m_set(set) {}
  int FindByName(const std::string& path, const std::string& pattern, bool exact, bool caseSensitive,
                 CItemSummaryList& out, const CTextOptions& options) override;
  int FindByNote(const std::string& path, const std::string& pattern, bool exact, bool caseSensitive,
                 CItemSummaryList& out, const CTextOptions& options) override;
  int FindBySize(const std::string& path, std::uint32_t lowerKB, std::uint32_t upperKB, CItemSummaryList& out) override;
  int FindByDate(const std::string& path, std::optional<CTime> lower, std::optional<CTime> upper,
                 CItemSummaryList& out) override;

  int m_nCalls = 0;  // searches run through this source

 private:
  const CRootFileInfo& m_set;
};

// The names of the records, sorted, for comparing result sets.
std::vector<std::string> SortedNames(const CItemSummaryList& results);
