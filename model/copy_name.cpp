#include "model/copy_name.h"

#include <vector>

#include "platform/cp932_codec.h"

namespace {

// An extension longer than this is no type's: a long name is cut as a whole.
constexpr std::size_t kMaxKeptExtension = 32;

bool IsDeviceName(std::string_view stem) {
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);  // "CON .txt" is CON too
  std::string upper(stem);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL" || upper == "CONIN$" || upper == "CONOUT$")
    return true;
  if (upper.compare(0, 3, "COM") != 0 && upper.compare(0, 3, "LPT") != 0) return false;
  const std::string_view number = std::string_view(upper).substr(3);
  // Windows takes the superscript digits for devices too.
  return (number.size() == 1 && number[0] >= '0' && number[0] <= '9') || number == "\xC2\xB9" || number == "\xC2\xB2" ||
         number == "\xC2\xB3";
}

// The length of the UTF-8 character that starts at name[at]; 0 for a byte
// that starts none.
std::size_t CharLength(std::string_view name, std::size_t at) {
  std::size_t end = at;
  // A byte that starts no character decodes as U+FFFD, which is also one.
  const char32_t cp = NextUtf8Char(name, end);
  return cp == 0xFFFD && name.compare(at, end - at, "\xEF\xBF\xBD") != 0 ? 0 : end - at;
}

}  // namespace

std::string SafeCopyName(std::string_view name, ENameUnits units) {
  if (name.empty() || name == "." || name == "..") return "member";
  // The name, and where each of its characters ends.
  std::string safe;
  std::vector<std::size_t> ends;
  std::vector<std::size_t> unitEnds;  // the units up to each end
  std::size_t unitCount = 0;
  for (std::size_t at = 0; at < name.size();) {
    std::size_t length = CharLength(name, at);
    const unsigned char c = static_cast<unsigned char>(name[at]);
    const bool c1Control = length == 2 && c == 0xC2 && static_cast<unsigned char>(name[at + 1]) < 0xA0;
    if (length == 0 || c < 0x20 || c == 0x7F || c1Control ||
        (length == 1 && std::string_view("/\\:*?\"<>|").find(char(c)) != std::string_view::npos)) {
      safe += '_';
      length = length == 0 ? 1 : length;
      unitCount += 1;
    } else {
      safe.append(name.substr(at, length));
      unitCount += units == ENameUnits::Bytes ? length : length == 4 ? 2 : 1;
    }
    at += length;
    ends.push_back(safe.size());
    unitEnds.push_back(unitCount);
  }
  if (IsDeviceName(std::string_view(safe).substr(0, safe.find('.')))) {
    safe.insert(0, 1, '_');
    for (std::size_t i = 0; i < ends.size(); ++i) ++ends[i], ++unitEnds[i];
    ends.insert(ends.begin(), 1), unitEnds.insert(unitEnds.begin(), 1);
  }
  if (unitEnds.back() > kMaxFileNameUnits) {
    // The extension, when the name has a short one, stays whole.
    const std::size_t dot = safe.rfind('.');
    std::string extension;
    std::size_t extensionUnits = 0;
    if (dot != std::string::npos && dot > 0 && safe.size() - dot <= kMaxKeptExtension) {
      extension = safe.substr(dot);
      std::size_t before = 0;
      while (ends[before] <= dot) ++before;  // the characters up to the dot
      extensionUnits = unitEnds.back() - unitEnds[before - 1];
    }
    std::size_t kept = 0;  // characters of the stem that fit
    while (kept < ends.size() && unitEnds[kept] + extensionUnits <= kMaxFileNameUnits) ++kept;
    safe = safe.substr(0, kept == 0 ? 0 : ends[kept - 1]) + extension;
  }
  if (safe.back() == '.' || safe.back() == ' ') safe.back() = '_';
  return safe;
}
