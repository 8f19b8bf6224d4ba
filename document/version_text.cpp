#include "document/version_text.h"

#include <cstdint>
#include <cstdio>

namespace {

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%x", unsigned(value));
  return text;
}

// Splits "a.b.c.d" into up to four 16-bit numbers; false on anything else.
bool ParseVersion(const std::string& version, std::uint32_t parts[4]) {
  int count = 0;
  std::size_t pos = 0;
  while (pos <= version.size()) {
    if (count == 4) return false;
    std::uint32_t value = 0;
    std::size_t digits = 0;
    while (pos < version.size() && version[pos] >= '0' && version[pos] <= '9') {
      value = value * 10 + std::uint32_t(version[pos] - '0');
      if (value > 0xFFFF) return false;
      ++pos, ++digits;
    }
    if (digits == 0) return false;
    parts[count++] = value;
    if (pos == version.size()) break;
    if (version[pos] != '.') return false;
    ++pos;
  }
  return count > 0;
}

}  // namespace

std::string MakeVersionText(const std::string& version) {
  std::uint32_t parts[4] = {0, 0, 0, 0};
  if (!ParseVersion(version, parts)) return "X.X";
  // The version is kept as two 32-bit words, major:minor and build:revision.
  // The second word adds its high half only when the word as a whole is
  // above 0xFFFF; the revision itself is never shown.
  const std::uint32_t least = (parts[2] << 16) | parts[3];
  std::string text = Hex(parts[0]) + "." + Hex(parts[1]);
  if (least > 0xFFFF) text += "." + Hex(parts[2]);
  return text;
}
