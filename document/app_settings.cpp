#include "document/app_settings.h"

#include <cstdio>

#include <wx/confbase.h>

namespace {

const char kOpenAppSection[] = "/FileOpenApp";
const char kOutputSection[] = "/CatalogOut";

wxString OpenAppKey(int n) {
  char key[32];
  std::snprintf(key, sizeof key, "%s/%06d", kOpenAppSection, n);
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

wxString OutputKey(const COutputKey& key) { return wxString(kOutputSection) + "/" + key.m_pszKey; }

}  // namespace

CAppSettings::CAppSettings(wxConfigBase& config) : m_config(config) {
  LoadOpenApps();
  LoadOutputOptions();
  LoadSearchOptions();
}

void CAppSettings::LoadOpenApps() {
  m_vecOpenApps.clear();
  for (int n = 0;; ++n) {
    wxString app;
    if (!m_config.Read(OpenAppKey(n), &app) || app.empty()) break;
    m_vecOpenApps.push_back(app.utf8_string());
  }
}

void CAppSettings::SaveOpenApps(const std::vector<std::string>& apps) {
  // A copy first: apps may be this object's own list.
  std::vector<std::string> newList = apps;
  m_config.DeleteGroup(kOpenAppSection);
  m_vecOpenApps.clear();
  for (const std::string& app : newList) {
    m_config.Write(OpenAppKey(int(m_vecOpenApps.size())), wxString::FromUTF8(app));
    m_vecOpenApps.push_back(app);
  }
  m_config.Flush();
}

void CAppSettings::LoadOutputOptions() {
  for (const COutputKey& key : kOutputKeys) {
    long value = 1;
    m_config.Read(OutputKey(key), &value, 1L);
    m_outputOptions.*key.m_pField = std::int32_t(value);
  }
}

void CAppSettings::SaveOutputOptions(const CatalogOutOptions& options) {
  for (const COutputKey& key : kOutputKeys) {
    m_outputOptions.*key.m_pField = options.*key.m_pField;
    m_config.Write(OutputKey(key), long(options.*key.m_pField));
  }
  m_config.Flush();
}

namespace {

const char kSearchSection[] = "/SearchOptions/";

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
    m_searchOptions.*key.m_pPage.*key.m_pFlag = m_config.ReadLong(wxString(kSearchSection) + key.m_pszKey, 0) != 0;
}

void CAppSettings::SaveSearchOptions(const CSearchOptions& options) {
  // Only what this instance changed: another may have changed the rest.
  bool changed = false;
  for (const CSearchOptionKey& key : kSearchOptionKeys) {
    bool& mine = m_searchOptions.*key.m_pPage.*key.m_pFlag;
    const bool value = options.*key.m_pPage.*key.m_pFlag;
    if (mine == value) continue;
    mine = value;
    m_config.Write(wxString(kSearchSection) + key.m_pszKey, long(value));
    changed = true;
  }
  if (changed) m_config.Flush();
}
