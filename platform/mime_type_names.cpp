#include "platform/mime_type_names.h"

#include "platform/cp932_codec.h"

#include <fnmatch.h>
#include <glib.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <tuple>
#include <utility>

namespace {

constexpr int kLiteral = 0;
constexpr int kSuffix = 1;
constexpr int kOtherGlob = 2;

// Locale-independent, so a Turkish locale does not change which globs match.
std::string LowerCase(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const char32_t cp = NextUtf8Char(text, pos);
    AppendUtf8(out, static_cast<char32_t>(g_unichar_tolower(static_cast<gunichar>(cp))));
  }
  return out;
}

bool HasWildcard(std::string_view text) { return text.find_first_of("*?[") != std::string_view::npos; }

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// A MIME type names a file below the database folder, so it must be exactly
// "media/subtype" without any way out of that folder.
bool IsSafeMimeType(const std::string& type) {
  const std::size_t slash = type.find('/');
  if (slash == std::string::npos || slash == 0 || slash + 1 == type.size() ||
      type.find('/', slash + 1) != std::string::npos)
    return false;
  const std::string media = type.substr(0, slash);
  const std::string subtype = type.substr(slash + 1);
  return media != "." && media != ".." && subtype != "." && subtype != ".." && type.find('\0') == std::string::npos;
}

bool ReadWholeFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  text = buffer.str();
  return true;
}

std::string UnescapeXml(std::string_view text) {
  static const std::pair<std::string_view, char> kEntities[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] == '&') {
      const std::string_view rest = text.substr(i);
      bool replaced = false;
      for (const auto& [entity, ch] : kEntities) {
        if (rest.substr(0, entity.size()) == entity) {
          out.push_back(ch);
          i += entity.size();
          replaced = true;
          break;
        }
      }
      if (!replaced && rest.size() > 3 && rest[1] == '#') {
        const std::size_t semicolon = rest.find(';');
        const bool hex = rest[2] == 'x' || rest[2] == 'X';
        if (semicolon != std::string_view::npos && semicolon > (hex ? 3u : 2u) && semicolon < 12) {
          const std::string digits(rest.substr(hex ? 3 : 2, semicolon - (hex ? 3 : 2)));
          char* end = nullptr;
          const unsigned long cp = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
          if (*end == '\0') {
            AppendUtf8(out, static_cast<char32_t>(cp));
            i += semicolon + 1;
            replaced = true;
          }
        }
      }
      if (replaced) continue;
    }
    out.push_back(text[i++]);
  }
  return out;
}

// Finds attribute name in a start tag's attribute text.
bool FindAttribute(std::string_view attributes, std::string_view name, std::string& value) {
  for (std::size_t pos = attributes.find(name); pos != std::string_view::npos; pos = attributes.find(name, pos + 1)) {
    if (pos > 0 && !g_ascii_isspace(attributes[pos - 1])) continue;
    std::size_t i = pos + name.size();
    while (i < attributes.size() && g_ascii_isspace(attributes[i])) ++i;
    if (i >= attributes.size() || attributes[i] != '=') continue;
    ++i;
    while (i < attributes.size() && g_ascii_isspace(attributes[i])) ++i;
    if (i >= attributes.size() || (attributes[i] != '"' && attributes[i] != '\'')) continue;
    const std::size_t close = attributes.find(attributes[i], i + 1);
    if (close == std::string_view::npos) return false;
    value = UnescapeXml(attributes.substr(i + 1, close - i - 1));
    return true;
  }
  return false;
}

std::string Trimmed(std::string text) {
  std::size_t end = text.size();
  while (end > 0 && g_ascii_isspace(text[end - 1])) --end;
  std::size_t begin = 0;
  while (begin < end && g_ascii_isspace(text[begin])) ++begin;
  return text.substr(begin, end - begin);
}

// The Japanese <comment> of a type's XML file, else the untranslated one.
// Some translations carry stray spaces, which would show in the list.
std::string CommentFromXml(std::string_view xml) {
  static constexpr std::string_view kOpen = "<comment";
  static constexpr std::string_view kClose = "</comment>";
  std::string fallback;
  for (std::size_t pos = xml.find(kOpen); pos != std::string_view::npos; pos = xml.find(kOpen, pos + 1)) {
    const std::size_t after = pos + kOpen.size();
    if (after >= xml.size() || (xml[after] != '>' && !g_ascii_isspace(xml[after])))
      continue;  // some other element such as <comments>
    const std::size_t tagEnd = xml.find('>', after);
    if (tagEnd == std::string_view::npos) break;
    if (xml[tagEnd - 1] == '/') continue;  // empty element
    const std::size_t close = xml.find(kClose, tagEnd);
    if (close == std::string_view::npos) break;
    std::string lang;
    const bool hasLang = FindAttribute(xml.substr(after, tagEnd - after), "xml:lang", lang);
    const std::string_view body = xml.substr(tagEnd + 1, close - tagEnd - 1);
    if (hasLang && lang == "ja") return Trimmed(UnescapeXml(body));
    if (!hasLang && fallback.empty()) fallback = Trimmed(UnescapeXml(body));
    pos = close;
  }
  return fallback;
}

}  // namespace

CMimeTypeNameSource::CMimeTypeNameSource(std::string mimeDir) : m_strMimeDir(std::move(mimeDir)) {}

std::string CMimeTypeNameSource::TypeName(const std::string& extension, bool isFolder) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (isFolder) return DescriptionLocked("inode/directory");
  if (extension.empty()) return {};
  if (const auto found = m_mapByExtension.find(extension); found != m_mapByExtension.end()) return found->second;
  const std::string type = MimeTypeForNameLocked("x" + extension);
  std::string name;
  if (!type.empty() && type != "application/octet-stream") name = DescriptionLocked(type);
  m_mapByExtension.emplace(extension, name);
  return name;
}

std::string CMimeTypeNameSource::MimeTypeForName(const std::string& name) {
  std::lock_guard<std::mutex> lock(m_mutex);
  return MimeTypeForNameLocked(name);
}

void CMimeTypeNameSource::LoadGlobsLocked() {
  m_bGlobsLoaded = true;
  std::ifstream in(m_strMimeDir + "/globs2");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    const std::size_t typeStart = line.find(':');
    const std::size_t patternStart = typeStart == std::string::npos ? typeStart : line.find(':', typeStart + 1);
    if (patternStart == std::string::npos) continue;
    CGlob glob;
    char* end = nullptr;
    glob.m_nWeight = static_cast<int>(std::strtol(line.c_str(), &end, 10));
    if (end != line.c_str() + typeStart) continue;
    glob.m_strType = line.substr(typeStart + 1, patternStart - typeStart - 1);
    glob.m_strPattern = line.substr(patternStart + 1);
    if (const std::size_t flagsStart = glob.m_strPattern.find(':'); flagsStart != std::string::npos) {
      std::stringstream flags(glob.m_strPattern.substr(flagsStart + 1));
      for (std::string flag; std::getline(flags, flag, ',');)
        glob.m_bCaseSensitive = glob.m_bCaseSensitive || flag == "cs";
      glob.m_strPattern.resize(flagsStart);
    }
    if (glob.m_strPattern.empty() || glob.m_strType.empty() || glob.m_strPattern == "__NOGLOBS__") continue;
    if (!glob.m_bCaseSensitive) glob.m_strPattern = LowerCase(glob.m_strPattern);
    if (!HasWildcard(glob.m_strPattern))
      glob.m_nKind = kLiteral;
    else if (glob.m_strPattern[0] == '*' && !HasWildcard(std::string_view(glob.m_strPattern).substr(1)))
      glob.m_nKind = kSuffix;
    else
      glob.m_nKind = kOtherGlob;
    m_vecGlobs.push_back(std::move(glob));
  }
}

std::string CMimeTypeNameSource::MimeTypeForNameLocked(const std::string& name) {
  if (!m_bGlobsLoaded) LoadGlobsLocked();
  const std::string lowerName = LowerCase(name);

  // Higher weight first; then a literal name over a suffix over other globs,
  // a longer pattern, a case-sensitive glob, and finally the earlier line.
  const CGlob* best = nullptr;
  auto rank = [](const CGlob& glob) {
    return std::make_tuple(glob.m_nWeight, -glob.m_nKind, glob.m_strPattern.size(), glob.m_bCaseSensitive);
  };
  for (const CGlob& glob : m_vecGlobs) {
    const std::string& subject = glob.m_bCaseSensitive ? name : lowerName;
    bool matches = false;
    switch (glob.m_nKind) {
      case kLiteral: matches = subject == glob.m_strPattern; break;
      case kSuffix: matches = EndsWith(subject, std::string_view(glob.m_strPattern).substr(1)); break;
      default: matches = fnmatch(glob.m_strPattern.c_str(), subject.c_str(), FNM_NOESCAPE) == 0; break;
    }
    if (matches && (best == nullptr || rank(glob) > rank(*best))) best = &glob;
  }
  return best != nullptr ? best->m_strType : std::string();
}

std::string CMimeTypeNameSource::DescriptionLocked(const std::string& mimeType) {
  if (const auto found = m_mapDescriptions.find(mimeType); found != m_mapDescriptions.end()) return found->second;
  std::string description;
  std::string xml;
  if (IsSafeMimeType(mimeType) && ReadWholeFile(m_strMimeDir + "/" + mimeType + ".xml", xml))
    description = CommentFromXml(xml);
  m_mapDescriptions.emplace(mimeType, description);
  return description;
}
