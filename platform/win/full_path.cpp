#include "platform/full_path.h"

#include "platform/win/win_text.h"

#include <windows.h>

// Unlike realpath the path need not exist.
std::string FullPathOf(const std::string& path) {
  std::wstring given = WideFromUtf8(path);
  for (wchar_t& c : given)
    if (c == L'/') c = L'\\';
  if (IsWholePath(given)) return Utf8FromWide(given);
  const std::wstring wide = WidePath(path);
  std::wstring full(wide.size() + MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetFullPathNameW(wide.c_str(), DWORD(full.size()), full.data(), nullptr);
    if (n == 0) return {};
    if (n < full.size()) {
      full.resize(n);
      return Utf8FromWide(full);
    }
    full.resize(n + 1);
  }
}
