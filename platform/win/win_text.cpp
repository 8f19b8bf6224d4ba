#include "platform/win/win_text.h"

#include <windows.h>

// Names on Windows are UTF-16 that need not be valid: a lone surrogate is
// carried as its own three-byte sequence (as if it were a code point), which
// no valid UTF-8 holds, so the name escapes keep it and it comes back whole.
std::wstring WideFromUtf8(std::string_view utf8) {
  std::wstring out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char b = static_cast<unsigned char>(utf8[i]);
    const int length = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 0;
    char32_t cp = length == 1 ? b : length == 2 ? b & 0x1F : length == 3 ? b & 0x0F : b & 0x07;
    bool ok = length > 0 && i + length <= utf8.size();
    for (int k = 1; ok && k < length; ++k) {
      const unsigned char c = static_cast<unsigned char>(utf8[i + k]);
      ok = (c & 0xC0) == 0x80;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (!ok || cp > 0x10FFFF) {
      out += L'\xFFFD';
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      out += static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out += static_cast<wchar_t>(cp);
    }
    i += length;
  }
  return out;
}

std::string Utf8FromWide(std::wstring_view wide) {
  std::string out;
  out.reserve(wide.size());
  for (std::size_t i = 0; i < wide.size(); ++i) {
    char32_t cp = wide[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] < 0xE000)
      cp = 0x10000 + ((cp - 0xD800) << 10) + (wide[++i] - 0xDC00);
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

std::wstring WidePath(std::string_view utf8) {
  std::wstring path = WideFromUtf8(utf8);
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  const bool drive = path.size() >= 3 && path[1] == L':' && path[2] == L'\\';
  if (drive && path.size() >= MAX_PATH - 12) path.insert(0, L"\\\\?\\");
  return path;
}

bool IsWholePath(std::wstring_view path) {
  if (path.rfind(L"\\\\?\\", 0) == 0) return true;
  const bool drive = path.size() >= 3 && path[1] == L':' && path[2] == L'\\';
  const bool unc = path.size() > 2 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'?' && path[2] != L'.';
  // Doubled separators are not joined in the literal form either.
  if ((!drive && !unc) || path.find(L"\\\\", unc ? 1 : 0) != std::wstring_view::npos) return false;
  for (std::size_t start = 0; start <= path.size();) {
    std::size_t end = path.find(L'\\', start);
    if (end == std::wstring_view::npos) end = path.size();
    const std::wstring_view part = path.substr(start, end - start);
    if (part == L"." || part == L"..") return false;
    start = end + 1;
  }
  return true;
}

std::wstring LiteralWidePath(std::string_view utf8) {
  const std::wstring path = WidePath(utf8);
  if (path.rfind(L"\\\\?\\", 0) == 0 || !IsWholePath(path)) return path;
  const bool unc = path[0] == L'\\';
  return unc ? L"\\\\?\\UNC" + path.substr(1) : L"\\\\?\\" + path;
}
