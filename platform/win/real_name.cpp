// Names on Windows: the system's UTF-16 names reach us as UTF-8 in which a
// lone surrogate keeps its three bytes (win_text.h). Those bytes are not
// UTF-8, so they become escapes that give them back; no name is ever taken
// as CP932 (the system always gives its names in Unicode).
#include "platform/real_name.h"

#include "platform/cp932_codec.h"
#include "platform/dir_reader.h"

std::string ItemNameOf(std::string_view realName) { return EscapeBytes(realName, true); }

bool IsCp932ItemName(std::string_view, std::string_view) { return false; }

// Only decoded names can meet a sibling's: escaped ones differ as the real
// names do.
void KeepNamesDistinct(std::vector<CDirEntry>&) {}

std::string PathTextOf(std::string_view realPath) { return EscapeBytes(realPath, false); }

std::string RealPathBelow(std::string_view basePathText, std::string_view rest) {
  std::string path = UnescapeBytes(basePathText);
  if (path.empty() || (path.back() != '\\' && path.back() != '/')) path += '\\';
  for (std::size_t start = 0;;) {
    const std::size_t end = rest.find('\\', start);
    path += UnescapeBytes(rest.substr(start, end - start));
    if (end == std::string_view::npos) return path;
    path += '\\';
    start = end + 1;
  }
}
