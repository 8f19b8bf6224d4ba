#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/win/shim/glib.h"
#include "platform/win/shim/iconv.h"

#include <windows.h>

namespace {

constexpr UINT kCodePage = 932;
enum EDirection : std::intptr_t { kToCp932 = 1, kFromCp932 = 2, kFromCp932ToUtf8 = 3 };

bool Is(const char* name, const char* expected) { return _stricmp(name, expected) == 0; }

std::size_t Fail(int error) {
  errno = error;
  return static_cast<std::size_t>(-1);
}

void Append(char** out, std::size_t* outLeft, const void* bytes, std::size_t n) {
  std::memcpy(*out, bytes, n);
  *out += n;
  *outLeft -= n;
}

// cp as UTF-16 into out; the number of units, 0 beyond U+10FFFF.
int ToUtf16(std::uint32_t cp, wchar_t out[2]) {
  if (cp > 0x10FFFF) return 0;
  if (cp < 0x10000) {
    out[0] = static_cast<wchar_t>(cp);
    return 1;
  }
  out[0] = static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10));
  out[1] = static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
  return 2;
}

// One UTF-32LE character to CP932; no best-fit replacements, so a character
// the code page cannot hold fails instead of becoming a look-alike.
std::size_t Encode(char** in, std::size_t* inLeft, char** out, std::size_t* outLeft) {
  if (*inLeft < 4) return Fail(EINVAL);
  const auto* p = reinterpret_cast<const unsigned char*>(*in);
  const std::uint32_t cp = p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24;
  wchar_t wide[2];
  const int units = ToUtf16(cp, wide);
  if (units == 0) return Fail(EILSEQ);
  char bytes[8];
  BOOL usedDefault = FALSE;
  const int n =
      WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide, units, bytes, sizeof bytes, nullptr, &usedDefault);
  if (n <= 0 || usedDefault) return Fail(EILSEQ);
  if (static_cast<std::size_t>(n) > *outLeft) return Fail(E2BIG);
  Append(out, outLeft, bytes, static_cast<std::size_t>(n));
  *in += 4;
  *inLeft -= 4;
  return 0;
}

// All of the input (one character) from CP932 to UTF-32LE, or to UTF-8.
std::size_t Decode(char** in, std::size_t* inLeft, char** out, std::size_t* outLeft, bool utf8) {
  wchar_t wide[4];
  const int n = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, *in, static_cast<int>(*inLeft), wide, 4);
  if (n <= 0) return Fail(EILSEQ);
  if (utf8) {
    char bytes[16];
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide, n, bytes, sizeof bytes, nullptr, nullptr);
    if (length <= 0) return Fail(EILSEQ);
    if (static_cast<std::size_t>(length) > *outLeft) return Fail(E2BIG);
    Append(out, outLeft, bytes, static_cast<std::size_t>(length));
    *in += *inLeft;
    *inLeft = 0;
    return 0;
  }
  for (int i = 0; i < n; ++i) {
    std::uint32_t cp = static_cast<std::uint16_t>(wide[i]);
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < n) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<std::uint16_t>(wide[++i]) - 0xDC00);
    }
    if (*outLeft < 4) return Fail(E2BIG);
    const unsigned char bytes[4] = {static_cast<unsigned char>(cp), static_cast<unsigned char>(cp >> 8),
                                    static_cast<unsigned char>(cp >> 16), static_cast<unsigned char>(cp >> 24)};
    Append(out, outLeft, bytes, 4);
  }
  *in += *inLeft;
  *inLeft = 0;
  return 0;
}

}  // namespace

iconv_t iconv_open(const char* to, const char* from) {
  if (Is(to, "CP932") && Is(from, "UTF-32LE")) return reinterpret_cast<iconv_t>(kToCp932);
  if (Is(to, "UTF-32LE") && Is(from, "CP932")) return reinterpret_cast<iconv_t>(kFromCp932);
  if (Is(to, "UTF-8") && Is(from, "CP932")) return reinterpret_cast<iconv_t>(kFromCp932ToUtf8);
  errno = EINVAL;
  return reinterpret_cast<iconv_t>(-1);
}

std::size_t iconv(iconv_t cd, char** in, std::size_t* inLeft, char** out, std::size_t* outLeft) {
  if (in == nullptr || *in == nullptr) return 0;  // resetting the state: there is none
  const auto direction = reinterpret_cast<std::intptr_t>(cd);
  if (direction == kToCp932) return Encode(in, inLeft, out, outLeft);
  if (direction == kFromCp932 || direction == kFromCp932ToUtf8)
    return Decode(in, inLeft, out, outLeft, direction == kFromCp932ToUtf8);
  return Fail(EBADF);
}

int iconv_close(iconv_t) { return 0; }

gunichar g_unichar_tolower(gunichar c) {
  wchar_t in[2];
  const int units = ToUtf16(c, in);
  if (units == 0) return c;
  wchar_t out[4];
  const int n = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, in, units, out, 4, nullptr, nullptr, 0);
  if (n == 1) return static_cast<std::uint16_t>(out[0]);
  if (n == 2 && out[0] >= 0xD800 && out[0] < 0xDC00)
    return 0x10000 + ((static_cast<std::uint16_t>(out[0]) - 0xD800) << 10) +
           (static_cast<std::uint16_t>(out[1]) - 0xDC00);
  return c;
}

gboolean g_ascii_isspace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
