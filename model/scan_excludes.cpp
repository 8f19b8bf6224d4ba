#include "model/scan_excludes.h"

namespace {

std::size_t CharLength(std::string_view text, std::size_t pos) {
  std::size_t end = pos + 1;
  while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
  return end - pos;
}

std::vector<std::string_view> SplitAtSlash(std::string_view path) {
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    const std::size_t slash = path.find('/', start);
    parts.push_back(path.substr(start, slash - start));
    if (slash == std::string_view::npos) return parts;
    start = slash + 1;
  }
}

}  // namespace

bool GlobMatches(std::string_view pattern, std::string_view text) {
  // On a mismatch, the last "*" takes one character more and matching goes
  // on from there: no run of stars makes this exponential.
  std::size_t p = 0, t = 0;
  std::size_t starP = std::string_view::npos, starT = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = ++p;
      starT = t;
    } else if (p < pattern.size() && pattern[p] == '?') {
      ++p;
      t += CharLength(text, t);
    } else if (p < pattern.size() && pattern[p] == text[t]) {
      ++p;
      ++t;
    } else if (starP != std::string_view::npos) {
      p = starP;
      starT += CharLength(text, starT);
      t = starT;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

CExcludeRules::CExcludeRules(const std::vector<std::string>& patterns) {
  for (std::string_view pattern : patterns) {
    if (pattern.find('/') == std::string_view::npos) {
      if (!pattern.empty()) m_names.emplace_back(pattern);
      continue;
    }
    while (!pattern.empty() && pattern.front() == '/') pattern.remove_prefix(1);
    while (!pattern.empty() && pattern.back() == '/') pattern.remove_suffix(1);
    if (pattern.empty()) continue;
    std::vector<std::string> parts;
    for (std::string_view part : SplitAtSlash(pattern)) parts.emplace_back(part);
    m_paths.push_back(std::move(parts));
  }
}

bool CExcludeRules::Excludes(std::string_view name, std::string_view relative) const {
  for (const std::string& pattern : m_names)
    if (GlobMatches(pattern, name)) return true;
  if (m_paths.empty()) return false;
  const std::vector<std::string_view> parts = SplitAtSlash(relative);
  for (const std::vector<std::string>& pattern : m_paths) {
    if (pattern.size() != parts.size()) continue;
    std::size_t i = 0;
    while (i < parts.size() && GlobMatches(pattern[i], parts[i])) ++i;
    if (i == parts.size()) return true;
  }
  return false;
}
