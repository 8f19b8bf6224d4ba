// Numbers read back the same way from every kind of store.
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "document/settings_store.h"

long CSettingsStore::GetInt(const std::string& section, const std::string& key, long def) const {
  if (!Has(section, key)) return def;
  const std::string text = GetString(section, key);
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text.c_str(), &end, 10);
  // strtol would skip leading blanks: " 5" is not a number here.
  if (text.empty() || errno != 0 || *end != '\0' || std::strchr(" \t\v\f\r\n", text[0]) != nullptr) return def;
  return value;
}
