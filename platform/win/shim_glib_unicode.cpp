// Unicode composition for the search folding, from the system's
// normalization (NormalizeString) and character types.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/win/shim/glib.h"
#include "platform/win/win_text.h"

#include <windows.h>

namespace {

std::wstring Utf16Of(gunichar c) {
  if (c < 0x10000) return std::wstring(1, wchar_t(c));
  return {wchar_t(0xD800 + ((c - 0x10000) >> 10)), wchar_t(0xDC00 + ((c - 0x10000) & 0x3FF))};
}

std::u32string CodePointsOf(const std::wstring& text) {
  std::u32string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    out += c;
  }
  return out;
}

std::wstring Normalize(NORM_FORM form, const std::wstring& text) {
  if (text.empty()) return text;
  int size = NormalizeString(form, text.data(), int(text.size()), nullptr, 0);
  for (int attempt = 0; size > 0 && attempt < 4; ++attempt) {
    std::wstring out(std::size_t(size), L'\0');
    const int n = NormalizeString(form, text.data(), int(text.size()), out.data(), size);
    if (n > 0) return out.substr(0, std::size_t(n));
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
    size = -n;
  }
  return {};
}

bool IsMark(gunichar c) {
  const std::wstring text = Utf16Of(c);
  WORD types[2] = {};
  if (!GetStringTypeW(CT_CTYPE3, text.data(), int(text.size()), types)) return false;
  return (types[0] & (C3_NONSPACING | C3_VOWELMARK)) != 0;
}

}  // namespace

const gchar* const g_utf8_skip =
    "\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1"
    "\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1"
    "\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1"
    "\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1"
    "\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1"
    "\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1\1"
    "\2\2\2\2\2\2\2\2\2\2\2\2\2\2\2\2\2\2\2\2\2\2\2\2\2\2\2\2\2\2\2\2"
    "\3\3\3\3\3\3\3\3\3\3\3\3\3\3\3\3\4\4\4\4\4\4\4\4\5\5\5\5\6\6\1\1";

gint g_unichar_combining_class(gunichar c) { return IsMark(c) ? 1 : 0; }

GUnicodeType g_unichar_type(gunichar c) { return IsMark(c) ? G_UNICODE_NON_SPACING_MARK : G_UNICODE_OTHER_LETTER; }

std::size_t g_unichar_fully_decompose(gunichar c, gboolean compat, gunichar* result, std::size_t length) {
  std::u32string parts = CodePointsOf(Normalize(compat ? NormalizationKD : NormalizationD, Utf16Of(c)));
  if (parts.empty()) parts = std::u32string(1, char32_t(c));
  for (std::size_t i = 0; i < parts.size() && i < length; ++i) result[i] = parts[i];
  return parts.size();
}

// The one step of canonical decomposition into a base and a mark; a
// character that decomposes further keeps its base composed.
gboolean g_unichar_decompose(gunichar c, gunichar* a, gunichar* b) {
  const std::u32string parts = CodePointsOf(Normalize(NormalizationD, Utf16Of(c)));
  *a = c;
  *b = 0;
  if (parts.size() < 2) return FALSE;
  std::wstring rest;
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) rest += Utf16Of(parts[i]);
  const std::u32string base = CodePointsOf(Normalize(NormalizationC, rest));
  if (base.size() != 1) return FALSE;
  *a = base[0];
  *b = parts.back();
  return TRUE;
}

gboolean g_unichar_compose(gunichar a, gunichar b, gunichar* ch) {
  const std::u32string joined = CodePointsOf(Normalize(NormalizationC, Utf16Of(a) + Utf16Of(b)));
  if (joined.size() != 1) return FALSE;
  *ch = joined[0];
  return TRUE;
}

gint g_unichar_to_utf8(gunichar c, gchar* out) {
  const std::string text = Utf8FromWide(Utf16Of(c));
  std::memcpy(out, text.data(), text.size());
  return gint(text.size());
}

gunichar g_utf8_get_char_validated(const gchar* p, gssize max_len) {
  const auto* s = reinterpret_cast<const unsigned char*>(p);
  const std::size_t n = max_len < 0 ? std::strlen(p) : std::size_t(max_len);
  if (n == 0) return gunichar(-2);
  const int length = s[0] < 0x80 ? 1 : s[0] >= 0xF8 ? 0 : s[0] >= 0xF0 ? 4 : s[0] >= 0xE0 ? 3 : s[0] >= 0xC2 ? 2 : 0;
  if (length == 0) return gunichar(-1);
  if (std::size_t(length) > n) return gunichar(-2);
  gunichar c = length == 1 ? s[0] : s[0] & (0x7F >> length);
  for (int i = 1; i < length; ++i) {
    if ((s[i] & 0xC0) != 0x80) return gunichar(-1);
    c = (c << 6) | (s[i] & 0x3F);
  }
  static const gunichar kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kLeast[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return gunichar(-1);
  return c;
}

gchar* g_utf8_normalize(const gchar* str, gssize len, GNormalizeMode) {
  const std::size_t n = len < 0 ? std::strlen(str) : std::size_t(len);
  for (std::size_t pos = 0; pos < n;) {
    const gunichar c = g_utf8_get_char_validated(str + pos, gssize(n - pos));
    if (c >= 0x110000) return nullptr;
    pos += std::size_t(g_utf8_skip[static_cast<unsigned char>(str[pos])]);
  }
  const std::string composed = Utf8FromWide(Normalize(NormalizationC, WideFromUtf8(std::string_view(str, n))));
  if (composed.empty() && n > 0) return nullptr;
  auto* out = static_cast<gchar*>(std::malloc(composed.size() + 1));
  std::memcpy(out, composed.c_str(), composed.size() + 1);
  return out;
}

void g_free(void* p) { std::free(p); }
