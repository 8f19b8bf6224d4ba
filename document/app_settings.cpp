#include "document/app_settings.h"

#include <cstdio>

#include "document/settings_store.h"

namespace {

const char kOpenAppSection[] = "FileOpenApp";
const char kOutputSection[] = "CatalogOut";
const char kExcludeSection[] = "ExcludePatterns";
const char kAddSection[] = "AddCatalog";
const char kHashKey[] = "HashContents";
const char kArchivesKey[] = "ListArchives";

std::string ListKey(int n) {
  char key[32];
  std::snprintf(key, sizeof key, "%06d", n);
  return key;
}

// The report's flags in their stored order, with their keys.
struct COutputKey {
  const char* m_pszKey;
  std::int32_t CatalogOutOptions::*m_pField;
};
const COutputKey kOutputKeys[] = {
    {"kind", &CatalogOutOptions::kind},
    {"size", &CatalogOutOptions::size},
    {"createTime", &CatalogOutOptions::createTime},
    {"modifiedTime", &CatalogOutOptions::modifiedTime},
    {"attribute", &CatalogOutOptions::attribute},
    {"note", &CatalogOutOptions::note},
};

}  // namespace

CAppSettings::CAppSettings(CSettingsStore& store) : m_store(store) {
  LoadOpenApps();
  LoadOutputOptions();
  LoadSearchOptions();
  LoadExcludePatterns();
  LoadHashContents();
}

void CAppSettings::LoadHashContents() {
  m_bHashContents = m_store.GetInt(kAddSection, kHashKey, 0) != 0;
  m_bListArchives = m_store.GetInt(kAddSection, kArchivesKey, 0) != 0;
}

void CAppSettings::SaveListArchives(bool archives) {
  m_bListArchives = archives;
  m_store.SetInt(kAddSection, kArchivesKey, archives ? 1 : 0);
  m_store.Flush();
}

void CAppSettings::SaveHashContents(bool hash) {
  m_bHashContents = hash;
  m_store.SetInt(kAddSection, kHashKey, hash ? 1 : 0);
  m_store.Flush();
}

void CAppSettings::LoadOpenApps() { m_vecOpenApps = LoadList(kOpenAppSection); }

void CAppSettings::SaveOpenApps(const std::vector<std::string>& apps) {
  SaveList(kOpenAppSection, apps, m_vecOpenApps);
}

void CAppSettings::LoadExcludePatterns() { m_vecExcludes = LoadList(kExcludeSection); }

void CAppSettings::SaveExcludePatterns(const std::vector<std::string>& patterns) {
  SaveList(kExcludeSection, patterns, m_vecExcludes);
}

std::vector<std::string> CAppSettings::LoadList(const char* section) const {
  std::vector<std::string> list;
  for (int n = 0;; ++n) {
    std::string value = m_store.GetString(section, ListKey(n));
    if (value.empty()) break;
    list.push_back(std::move(value));
  }
  return list;
}

void CAppSettings::SaveList(const char* section, const std::vector<std::string>& values,
                            std::vector<std::string>& kept) {
  // A copy first: values may be this object's own list.
  std::vector<std::string> newList = values;
  m_store.DeleteSection(section);
  kept.clear();
  for (const std::string& value : newList) {
    if (value.empty()) continue;  // it would end the list
    m_store.SetString(section, ListKey(int(kept.size())), value);
    kept.push_back(value);
  }
  m_store.Flush();
}

void CAppSettings::LoadOutputOptions() {
  for (const COutputKey& key : kOutputKeys)
    m_outputOptions.*key.m_pField = std::int32_t(m_store.GetInt(kOutputSection, key.m_pszKey, 1));
}

void CAppSettings::SaveOutputOptions(const CatalogOutOptions& options) {
  for (const COutputKey& key : kOutputKeys) {
    m_outputOptions.*key.m_pField = options.*key.m_pField;
    m_store.SetInt(kOutputSection, key.m_pszKey, options.*key.m_pField);
  }
  m_store.Flush();
}

namespace {

const char kSearchSection[] = "SearchOptions";

struct CSearchOptionKey {
  const char* m_pszKey;
  CTextOptions CSearchOptions::*m_pPage;
  bool CTextOptions::*m_pFlag;
};
const CSearchOptionKey kSearchOptionKeys[] = {
    {"NameWidth", &CSearchOptions::name, &CTextOptions::bIgnoreWidth},
    {"NameKana", &CSearchOptions::name, &CTextOptions::bIgnoreKana},
    {"NoteWidth", &CSearchOptions::note, &CTextOptions::bIgnoreWidth},
    {"NoteKana", &CSearchOptions::note, &CTextOptions::bIgnoreKana},
};

}  // namespace

void CAppSettings::LoadSearchOptions() {
  for (const CSearchOptionKey& key : kSearchOptionKeys)
    m_searchOptions.*key.m_pPage.*key.m_pFlag = m_store.GetInt(kSearchSection, key.m_pszKey, 0) != 0;
}

void CAppSettings::SaveSearchOptions(const CSearchOptions& options) {
  // The store writes only keys whose value changed, so another instance's
  // choices for the rest survive.
  m_searchOptions = options;
  for (const CSearchOptionKey& key : kSearchOptionKeys)
    m_store.SetInt(kSearchSection, key.m_pszKey, options.*key.m_pPage.*key.m_pFlag);
  m_store.Flush();
}

namespace {
CAppSettings* g_pAppSettings = nullptr;
}  // namespace

CAppSettings* GetAppSettings() { return g_pAppSettings; }
void SetAppSettings(CAppSettings* settings) { g_pAppSettings = settings; }
