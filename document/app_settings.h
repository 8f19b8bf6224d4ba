#pragma once
// The per-user settings the program keeps itself: the applications the user
// picked to open files with, most recent first, the report's columns, the
// search options, the patterns new catalogs exclude and whether new catalogs
// take the hashes of their files.
// Each part is written when it changes; nothing is written at destruction.

#include <string>
#include <vector>

#include "model/catalog_out_options.h"
#include "model/search_fold.h"

// The width and kana options of the search sheet's name and note pages.
struct CSearchOptions {
  CTextOptions name;
  CTextOptions note;
};

class CSettingsStore;

class CAppSettings {
 public:
  // Loads both parts from store, which must outlive this object.
  explicit CAppSettings(CSettingsStore& store);

  // Fills the list from "FileOpenApp": keys "000000", "000001", ... up to
  // the first missing or empty one.
  void LoadOpenApps();
  // Replaces the list and rewrites the section whole.
  void SaveOpenApps(const std::vector<std::string>& apps);
  // Reads the six "CatalogOut" flags, each 1 when missing.
  void LoadOutputOptions();
  // Keeps options and writes them.
  void SaveOutputOptions(const CatalogOutOptions& options);

  const std::vector<std::string>& GetOpenApps() const { return m_vecOpenApps; }
  const CatalogOutOptions& GetOutputOptions() const { return m_outputOptions; }

  // "SearchOptions": NameWidth, NameKana, NoteWidth, NoteKana, each 0 or 1,
  // off when missing. Saving writes only the options that changed.
  void LoadSearchOptions();
  void SaveSearchOptions(const CSearchOptions& options);
  const CSearchOptions& GetSearchOptions() const { return m_searchOptions; }

  // "ExcludePatterns": keys "000000", "000001", ... up to the first missing
  // or empty one; none when missing. Saving rewrites the section whole.
  void LoadExcludePatterns();
  void SaveExcludePatterns(const std::vector<std::string>& patterns);
  const std::vector<std::string>& GetExcludePatterns() const { return m_vecExcludes; }

  // "AddCatalog": HashContents 0 or 1, off when missing; the label dialog's
  // check box as the user last left it.
  void LoadHashContents();
  void SaveHashContents(bool hash);
  bool GetHashContents() const { return m_bHashContents; }
  // "AddCatalog": ListArchives 0 or 1, off when missing: the label dialog's
  // archive check box as last left.
  void SaveListArchives(bool archives);
  bool GetListArchives() const { return m_bListArchives; }

 private:
  // A list kept as numbered keys of section.
  std::vector<std::string> LoadList(const char* section) const;
  void SaveList(const char* section, const std::vector<std::string>& values, std::vector<std::string>& kept);

  CSettingsStore& m_store;
  std::vector<std::string> m_vecOpenApps;  // UTF-8 program paths
  CatalogOutOptions m_outputOptions;
  CSearchOptions m_searchOptions;
  std::vector<std::string> m_vecExcludes;
  bool m_bHashContents = false;
  bool m_bListArchives = false;
};

// The running application's settings; null when the process is not the
// application (the tests) or before start-up made them.
CAppSettings* GetAppSettings();
void SetAppSettings(CAppSettings* settings);
