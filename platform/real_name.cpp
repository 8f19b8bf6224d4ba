#include "platform/real_name.h"

#include <sys/stat.h>

#include <unordered_map>

#include "platform/cp932_codec.h"
#include "platform/dir_reader.h"

namespace {

bool Exists(const std::string& path) {
  struct stat status;
  return lstat(path.c_str(), &status) == 0;
}

}  // namespace

bool IsCp932ItemName(std::string_view realName, std::string_view name) {
  return name != realName && name != EscapeBytes(realName, true);
}

std::string ItemNameOf(std::string_view realName) { return NameTextOfBytes(realName); }

void KeepNamesDistinct(std::vector<CDirEntry>& entries) {
  std::vector<CDirEntry*> decoded;
  for (CDirEntry& entry : entries)
    if (IsCp932ItemName(entry.strRawName, entry.record.cFileName)) decoded.push_back(&entry);
  if (decoded.empty()) return;
  // Decoded names differ from each other and escaped ones from all others.
  std::unordered_map<std::string, int> count;
  for (const CDirEntry& entry : entries) ++count[entry.record.cFileName];
  for (CDirEntry* entry : decoded) {
    entry->bNameCp932 = count[entry->record.cFileName] == 1;
    if (!entry->bNameCp932) entry->record.cFileName = EscapeBytes(entry->strRawName, true);
  }
}

std::string PathTextOf(std::string_view realPath) { return EscapeBytes(realPath, false); }

std::string RealPathBelow(std::string_view basePathText, std::string_view rest) {
  std::string path = UnescapeBytes(basePathText);
  if (path.empty() || path.back() != '/') path += '/';
  std::string cp932;
  for (std::size_t start = 0;;) {
    const std::size_t end = rest.find('\\', start);
    const std::string_view name = rest.substr(start, end - start);
    const std::size_t folderLength = path.size();
    path += UnescapeBytes(name);
    if (!Exists(path) && EncodeCp932Bytes(name, cp932) && Exists(path.substr(0, folderLength) + cp932))
      path.replace(folderLength, std::string::npos, cp932);
    if (end == std::string_view::npos) return path;
    path += '/';
    start = end + 1;
  }
}
