// The settings store on Windows: the per-user registry key given as the
// store's path, a subkey per section and a value per key (numbers as DWORD,
// text as strings). Changes wait for Flush as they do in the file, and what
// is read is the registry as it is then, under this instance's changes.
#include "document/settings_store.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/win/win_text.h"

#include <windows.h>

namespace {

std::wstring SubkeyOf(const std::string& root, const std::string& section) {
  return WideFromUtf8(section.empty() ? root : root + "\\" + section);
}

bool ReadValue(const std::string& root, const std::string& section, const std::string& key, std::string& out) {
  const std::wstring subkey = SubkeyOf(root, section), name = WideFromUtf8(key);
  DWORD type = 0, size = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, subkey.c_str(), name.c_str(), RRF_RT_REG_SZ | RRF_RT_REG_DWORD, &type, nullptr,
                   &size) != ERROR_SUCCESS)
    return false;
  std::wstring buffer(size / sizeof(wchar_t) + 2, L'\0');
  size = DWORD(buffer.size() * sizeof(wchar_t));
  if (RegGetValueW(HKEY_CURRENT_USER, subkey.c_str(), name.c_str(), RRF_RT_REG_SZ | RRF_RT_REG_DWORD, &type,
                   buffer.data(), &size) != ERROR_SUCCESS)
    return false;
  if (type == REG_DWORD) {
    DWORD number = 0;
    std::memcpy(&number, buffer.data(), sizeof number);
    out = std::to_string(long(std::int32_t(number)));
  } else {
    out = Utf8FromWide(buffer.c_str());
  }
  return true;
}

}  // namespace

CSettingsStore::CSettingsStore(std::string path) : m_strPath(std::move(path)) {}

std::vector<CSettingsStore::CSection> CSettingsStore::Parse(const std::string&) { return {}; }
std::string CSettingsStore::Serialize(const std::vector<CSection>&) { return {}; }
bool CSettingsStore::Apply(std::vector<CSection>&, const CChange&) { return true; }

void CSettingsStore::Change(CChange change) { m_vecChanges.push_back(std::move(change)); }

bool CSettingsStore::Has(const std::string& section, const std::string& key) const {
  std::string value;
  for (auto it = m_vecChanges.rbegin(); it != m_vecChanges.rend(); ++it) {
    if (it->m_strSection != section) continue;
    if (it->m_eKind == CChange::DELETE_SECTION) return false;
    if (it->m_strKey == key) return it->m_eKind == CChange::SET;
  }
  return ReadValue(m_strPath, section, key, value);
}

std::string CSettingsStore::GetString(const std::string& section, const std::string& key,
                                      const std::string& def) const {
  for (auto it = m_vecChanges.rbegin(); it != m_vecChanges.rend(); ++it) {
    if (it->m_strSection != section) continue;
    if (it->m_eKind == CChange::DELETE_SECTION) return def;
    if (it->m_strKey == key) return it->m_eKind == CChange::SET ? it->m_strValue : def;
  }
  std::string value;
  return ReadValue(m_strPath, section, key, value) ? value : def;
}

std::vector<std::string> CSettingsStore::GetKeys(const std::string& section) const {
  std::vector<std::string> keys;
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, SubkeyOf(m_strPath, section).c_str(), 0, KEY_READ, &handle) == ERROR_SUCCESS) {
    wchar_t name[16384];
    for (DWORD i = 0;; ++i) {
      DWORD length = 16384;
      if (RegEnumValueW(handle, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      keys.push_back(Utf8FromWide(std::wstring_view(name, length)));
    }
    RegCloseKey(handle);
  }
  for (const CChange& change : m_vecChanges) {
    if (change.m_strSection != section) continue;
    if (change.m_eKind == CChange::DELETE_SECTION) keys.clear();
    auto found = std::find(keys.begin(), keys.end(), change.m_strKey);
    if (change.m_eKind == CChange::DELETE_KEY && found != keys.end()) keys.erase(found);
    if (change.m_eKind == CChange::SET && found == keys.end()) keys.push_back(change.m_strKey);
  }
  return keys;
}

void CSettingsStore::SetString(const std::string& section, const std::string& key, const std::string& value) {
  Change({CChange::SET, section, key, value});
}

void CSettingsStore::SetInt(const std::string& section, const std::string& key, long value) {
  Change({CChange::SET, section, key, std::to_string(value), true});
}

void CSettingsStore::DeleteKey(const std::string& section, const std::string& key) {
  Change({CChange::DELETE_KEY, section, key, {}});
}

void CSettingsStore::DeleteSection(const std::string& section) { Change({CChange::DELETE_SECTION, section, {}, {}}); }

bool CSettingsStore::Flush() {
  // In order, each change once: a failed one and those after it wait for
  // the next Flush.
  while (!m_vecChanges.empty()) {
    const CChange& change = m_vecChanges.front();
    const std::wstring subkey = SubkeyOf(m_strPath, change.m_strSection), name = WideFromUtf8(change.m_strKey);
    LSTATUS status = ERROR_SUCCESS;
    if (change.m_eKind == CChange::DELETE_SECTION) {
      status = RegDeleteTreeW(HKEY_CURRENT_USER, subkey.c_str());
      if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
    } else if (change.m_eKind == CChange::DELETE_KEY) {
      status = RegDeleteKeyValueW(HKEY_CURRENT_USER, subkey.c_str(), name.c_str());
      if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
    } else {
      HKEY handle = nullptr;
      status =
          RegCreateKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr);
      if (status == ERROR_SUCCESS) {
        if (change.m_bNumber) {
          const DWORD number = DWORD(std::strtol(change.m_strValue.c_str(), nullptr, 10));
          status =
              RegSetValueExW(handle, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
        } else {
          const std::wstring text = WideFromUtf8(change.m_strValue);
          status = RegSetValueExW(handle, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                  DWORD((text.size() + 1) * sizeof(wchar_t)));
        }
        RegCloseKey(handle);
      }
    }
    if (status != ERROR_SUCCESS) return false;
    m_vecChanges.erase(m_vecChanges.begin());
  }
  return true;
}
