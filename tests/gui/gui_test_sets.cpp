#include "tests/gui/gui_test_sets.h"

#include <algorithm>

CFindData TestFile(const std::string& name, std::uint64_t size, std::int64_t writeTime) {
  CFindData record;
  record.dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE;
  record.cFileName = name;
  record.SetSize(size);
  const std::uint64_t fileTime = writeTime ? UnixToFileTime(writeTime, 0) : 0;
  record.ftCreationTime = record.ftLastAccessTime = record.ftLastWriteTime = fileTime;
  return record;
}

CFindData TestFolder(const std::string& name, std::int64_t writeTime) {
  CFindData record = TestFile(name, 0, writeTime);
  record.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
  return record;
}

std::unique_ptr<CDriveFileInfo> TestCatalog(const std::string& label) {
  CMediumFacts facts;
  facts.strMachineName = "host";
  facts.strMediaType = "固定ディスク";
  facts.nFreeBytes = 1000;
  facts.nTotalBytes = 5000000;
  return std::make_unique<CDriveFileInfo>(label, "/data/" + label, facts);
}

CFileInfo* Add(CFolderFileInfo& folder, const CFindData& record) { return folder.AddChild(&record); }

CFolderFileInfo* AddFolder(CFolderFileInfo& folder, const CFindData& record) {
  return static_cast<CFolderFileInfo*>(folder.AddChild(&record));
}

int CSetSearchSource::FindByName(const std::string& path, const std::string& pattern, bool exact, bool caseSensitive,
                                 CItemSummaryList& out, const CTextOptions& options) {
  ++m_nCalls;
  return m_set.FindByName(path, pattern, exact, caseSensitive, out, options);
}

int CSetSearchSource::FindByNote(const std::string& path, const std::string& pattern, bool exact, bool caseSensitive,
                                 CItemSummaryList& out, const CTextOptions& options) {
  ++m_nCalls;
  return m_set.FindByNote(path, pattern, exact, caseSensitive, out, options);
}

int CSetSearchSource::FindBySize(const std::string& path, std::uint32_t lowerKB, std::uint32_t upperKB,
                                 CItemSummaryList& out) {
  ++m_nCalls;
  return m_set.FindBySize(path, lowerKB, upperKB, out);
}

int CSetSearchSource::FindByDate(const std::string& path, std::optional<CTime> lower, std::optional<CTime> upper,
                                 CItemSummaryList& out) {
  ++m_nCalls;
  return m_set.FindByDate(path, lower, upper, out);
}

std::vector<std::string> SortedNames(const CItemSummaryList& results) {
  std::vector<std::string> names;
  for (const auto& record : results) names.push_back(record->m_strName);
  std::sort(names.begin(), names.end());
  return names;
}
