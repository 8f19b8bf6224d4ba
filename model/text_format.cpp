#include "model/text_format.h"

#include <cstdio>
#include <map>
#include <mutex>
#include <utility>

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
