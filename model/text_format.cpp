#include "model/text_format.h"

#include <cstdio>
#include <map>
#include <mutex>
#include <utility>

#include "platform/cp932_codec.h"
#include "platform/mime_type_names.h"

std::string FormatSize(std::uint64_t size, bool inBytes) {
  std::uint64_t value = size;
  const char* unit = "バイト";
  if (!inBytes) {
    value = size >> 10;
    unit = "KB";
    if ((value >> 10) != 0) {
      value = size >> 20;
      unit = "MB";
    }
  }
  return FormatCount(value == 0 ? 1 : value) + unit;
}

std::string FormatCount(std::uint64_t value) {
  const std::string digits = std::to_string(value);
  std::string out;
  out.reserve(digits.size() + digits.size() / 3 + 8);
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i != 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

std::string FormatElapsed(std::uint64_t seconds) {
  char text[32];
  if (seconds >= 3600)
    std::snprintf(text, sizeof text, "%u:%02u:%02u", unsigned(seconds / 3600), unsigned(seconds / 60 % 60),
                  unsigned(seconds % 60));
  else
    std::snprintf(text, sizeof text, "%u:%02u", unsigned(seconds / 60), unsigned(seconds % 60));
  return text;
}

std::string FormatAttributes(std::uint32_t attributes) {
  static const std::pair<std::uint32_t, const char*> kWords[] = {
      {0x1, "読み取り専用"}, {0x2, "隠しファイル"}, {0x20, "アーカイブ"}, {0x4, "システム"}};
  std::string out;
  for (const auto& [bit, word] : kWords) {
    if ((attributes & bit) == 0) continue;
    if (!out.empty()) out += "・";
    out += word;
  }
  return out;
}

std::string ExtensionOf(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
}

namespace {

struct CTypeNameCache {
  std::mutex mutex;
  std::unique_ptr<CTypeNameSource> source;
  std::map<std::pair<std::string, bool>, std::string> names;
};

CTypeNameCache& TypeNameCache() {
  static CTypeNameCache cache;
  return cache;
}

}  // namespace

std::string TypeNameFor(const std::string& extension, bool isFolder) {
  CTypeNameCache& cache = TypeNameCache();
  std::lock_guard<std::mutex> lock(cache.mutex);
  auto key = std::make_pair(extension, isFolder);
  auto it = cache.names.find(key);
  if (it != cache.names.end()) return it->second;
  if (!cache.source) cache.source = std::make_unique<CMimeTypeNameSource>();
  std::string name = cache.source->TypeName(extension, isFolder);
  if (name.empty()) name = (extension.empty() ? std::string() : extension.substr(1)) + " ﾌｧｲﾙ";
  return cache.names.emplace(std::move(key), std::move(name)).first->second;
}

void SetTypeNameSource(std::unique_ptr<CTypeNameSource> source) {
  CTypeNameCache& cache = TypeNameCache();
  std::lock_guard<std::mutex> lock(cache.mutex);
  cache.source = std::move(source);
  cache.names.clear();
}

namespace {

const char kByteOpen[] = "«";   // U+00AB
const char kByteClose[] = "»";  // U+00BB

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string DisplayName(std::string_view text) {
  if (!HasByteEscape(text)) return std::string(text);
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size() + 8);
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t start = pos;
    const char32_t c = NextUtf8Char(text, pos);
    if (!IsByteEscape(c)) {
      out.append(text.substr(start, pos - start));
      continue;
    }
    const unsigned byte = unsigned(c - kByteEscapeBase);
    out += kByteOpen;
    out += kHex[byte >> 4];
    out += kHex[byte & 15];
    out += kByteClose;
  }
  return out;
}

std::string NameFromDisplay(std::string_view typed) {
  const std::string_view open = kByteOpen, close = kByteClose;
  std::string out;
  out.reserve(typed.size());
  for (std::size_t pos = 0; pos < typed.size();) {
    if (typed.substr(pos, open.size()) == open && typed.size() >= pos + open.size() + 2 + close.size() &&
        typed.substr(pos + open.size() + 2, close.size()) == close) {
      const int high = HexValue(typed[pos + open.size()]), low = HexValue(typed[pos + open.size() + 1]);
      if (high >= 0 && low >= 0) {
        AppendUtf8(out, kByteEscapeBase + char32_t(high * 16 + low));
        pos += open.size() + 2 + close.size();
        continue;
      }
    }
    out += typed[pos++];
  }
  return out;
}
