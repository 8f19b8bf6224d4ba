#include "document/app_settings.h"

#include <cstdio>

#include "document/settings_store.h"

namespace {

const char kOpenAppSection[] = "FileOpenApp";
const char kOutputSection[] = "CatalogOut";

std::string OpenAppKey(int n) {
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
}

void CAppSettings::LoadOpenApps() {
  m_vecOpenApps.clear();
  for (int n = 0;; ++n) {
    std::string app = m_store.GetString(kOpenAppSection, OpenAppKey(n));
    if (app.empty()) break;
    m_vecOpenApps.push_back(std::move(app));
  }
}

void CAppSettings::SaveOpenApps(const std::vector<std::string>& apps) {
  // A copy first: apps may be this object's own list.
  std::vector<std::string> newList = apps;
  m_store.DeleteSection(kOpenAppSection);
  m_vecOpenApps.clear();
  for (const std::string& app : newList) {
    m_store.SetString(kOpenAppSection, OpenAppKey(int(m_vecOpenApps.size())), app);
    m_vecOpenApps.push_back(app);
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
