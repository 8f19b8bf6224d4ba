#include "dialogs/file_filter.h"

#include <vector>

namespace {

const char kLocateFilter[] = "カタログ内のファイル|%s||";
const char kAppFilter[] = "実行可能ファイル|*.exe; *.com|すべてのファイル (*.*)|*.*||";

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

std::string Trim(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string ToWxPatterns(const std::string& patterns) {
  std::string joined;
  for (const std::string& part : Split(patterns, ';')) {
    std::string pattern = Trim(part);
    if (pattern.empty()) continue;
    if (pattern == "*.*") pattern = "*";
    if (!joined.empty()) joined += ';';
    joined += pattern;
  }
  return joined;
}

}  // namespace

std::string ToWxWildcard(const std::string& filter) {
  std::vector<std::string> parts = Split(filter, '|');
  while (!parts.empty() && parts.back().empty()) parts.pop_back();
  std::string wildcard;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    if (!wildcard.empty()) wildcard += '|';
    wildcard += parts[i] + '|' + ToWxPatterns(parts[i + 1]);
  }
  return wildcard;
}

std::string NameAsPattern(const std::string& name) {
  if (name.empty()) return "*";
  std::string pattern = name;
  for (char& c : pattern) {
    switch (c) {
      case '*':
      case '?':
      case '[':
      case ']':
      case '\\':
      case '|':
      case ';': c = '?'; break;
      default: break;
    }
  }
  // Blanks only at the ends: the ones inside survive the trimming.
  for (std::size_t i = 0; i < pattern.size() && pattern[i] == ' '; ++i) pattern[i] = '?';
  for (std::size_t i = pattern.size(); i > 0 && pattern[i - 1] == ' '; --i) pattern[i - 1] = '?';
  return pattern;
}

std::string LocateFileWildcard(const std::string& fileName) {
  std::string filter = kLocateFilter;
  filter.replace(filter.find("%s"), 2, NameAsPattern(fileName));
  return ToWxWildcard(filter);
}

std::string AppBrowseWildcard() {
  std::string wildcard = ToWxWildcard(kAppFilter);
  const std::size_t start = wildcard.find('|') + 1;
  wildcard.replace(start, wildcard.find('|', start) - start, "*");
  return wildcard;
}
