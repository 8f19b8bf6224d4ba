#pragma once
// Exclude patterns of a scan: entries they match are left out of the
// catalog, with everything below them.

#include <string>
#include <string_view>
#include <vector>

// Whether pattern matches all of text: "*" stands for any run of
// characters, "?" for one character (a whole UTF-8 sequence).
bool GlobMatches(std::string_view pattern, std::string_view text);

class CExcludeRules {
 public:
  // A pattern without "/" is matched against names, one with "/" against
  // paths relative to the place scanned, name by name ("/" at either end is
  // dropped).
  explicit CExcludeRules(const std::vector<std::string>& patterns);

  bool Empty() const { return m_names.empty() && m_paths.empty(); }
  bool HasPathPatterns() const { return !m_paths.empty(); }
  // relative: the entry's path below the place scanned, "/" between names;
  // only looked at when HasPathPatterns.
  bool Excludes(std::string_view name, std::string_view relative) const;

 private:
  std::vector<std::string> m_names;
  std::vector<std::vector<std::string>> m_paths;  // each split at "/"
};
