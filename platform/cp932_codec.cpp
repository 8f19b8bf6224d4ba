#include "platform/cp932_codec.h"

#include <glib.h>
#include <iconv.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kInvalid = 0xFFFFFFFF;  // internal marker: an invalid UTF-8 byte

constexpr unsigned kLeadCount = 60;  // 0x81-0x9F and 0xE0-0xFC

constexpr int LeadIndex(unsigned char b) {
  if (b >= 0x81 && b <= 0x9F) return b - 0x81;
  if (b >= 0xE0 && b <= 0xFC) return b - 0xE0 + 31;
  return -1;
}

constexpr bool IsHalfWidthKana(unsigned char b) { return b >= 0xA1 && b <= 0xDF; }

class CCp932Tables {
 public:
  CCp932Tables() { Build(); }

  // 0 when lead + trail is not a character.
  char16_t Decode(int leadIndex, unsigned char trail) const {
    return m_arDecode[static_cast<unsigned>(leadIndex) * 256 + trail];
  }
  // 0 when CP932 cannot hold cp (ASCII is handled by the callers).
  std::uint16_t Encode(char32_t cp) const { return cp <= 0xFFFF ? m_arEncode[cp] : 0; }
  // Whether lead + trail is the code Encode gives its character.
  bool IsPreferred(int leadIndex, unsigned char trail) const {
    const unsigned bit = static_cast<unsigned>(leadIndex) * 256 + trail;
    return (m_arOther[bit / 64] >> (bit % 64) & 1) == 0;
  }

 private:
  void Build();

  std::array<char16_t, kLeadCount * 256> m_arDecode{};
  std::array<std::uint16_t, 0x10000> m_arEncode{};
  std::array<std::uint64_t, kLeadCount * 256 / 64> m_arOther{};  // codes Encode does not give
};

struct CIconvCloser {
  void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using IconvPtr = std::unique_ptr<void, CIconvCloser>;

IconvPtr OpenIconv(const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  return IconvPtr(cd == reinterpret_cast<iconv_t>(-1) ? nullptr : cd);
}

// Converts one whole unit; returns the number of output bytes, or 0 on failure.
std::size_t ConvertOne(void* cd, const void* in, std::size_t inLen, void* out, std::size_t outCap) {
  iconv(static_cast<iconv_t>(cd), nullptr, nullptr, nullptr, nullptr);
  char* pIn = static_cast<char*>(const_cast<void*>(in));
  char* pOut = static_cast<char*>(out);
  std::size_t inLeft = inLen;
  std::size_t outLeft = outCap;
  if (iconv(static_cast<iconv_t>(cd), &pIn, &inLeft, &pOut, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0)
    return 0;
  return outCap - outLeft;
}

void CCp932Tables::Build() {
  for (unsigned b = 0xA1; b <= 0xDF; ++b) m_arEncode[0xFF61 + (b - 0xA1)] = static_cast<std::uint16_t>(b);

  IconvPtr decoder = OpenIconv("UTF-32LE", "CP932");
  IconvPtr encoder = OpenIconv("CP932", "UTF-32LE");
  if (!decoder || !encoder) return;  // only ASCII and half-width katakana will convert

  for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
    const int index = LeadIndex(static_cast<unsigned char>(lead));
    if (index < 0) continue;
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
      const unsigned char in[2] = {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)};
      unsigned char out[16];
      if (ConvertOne(decoder.get(), in, 2, out, sizeof out) != 4) continue;
      const char32_t cp = out[0] | out[1] << 8 | out[2] << 16 | static_cast<char32_t>(out[3]) << 24;
      if (cp < 0x80 || cp > 0xFFFF) continue;
      m_arDecode[static_cast<unsigned>(index) * 256 + trail] = static_cast<char16_t>(cp);
      if (m_arEncode[cp] == 0) m_arEncode[cp] = static_cast<std::uint16_t>(lead << 8 | trail);
    }
  }

  // Where a character has several codes, use the one iconv's encoder picks,
  // so text read from a CP932 file writes back byte for byte.
  for (char32_t cp = 0x80; cp <= 0xFFFF; ++cp) {
    if (m_arEncode[cp] < 0x100) continue;
    const unsigned char in[4] = {static_cast<unsigned char>(cp), static_cast<unsigned char>(cp >> 8), 0, 0};
    unsigned char out[8];
    if (ConvertOne(encoder.get(), in, 4, out, sizeof out) != 2) continue;
    const int index = LeadIndex(out[0]);
    if (index >= 0 && Decode(index, out[1]) == cp) m_arEncode[cp] = static_cast<std::uint16_t>(out[0] << 8 | out[1]);
  }

  for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
    const int index = LeadIndex(static_cast<unsigned char>(lead));
    if (index < 0) continue;
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
      const char16_t cp = Decode(index, static_cast<unsigned char>(trail));
      if (cp != 0 && m_arEncode[cp] != (lead << 8 | trail)) {
        const unsigned bit = static_cast<unsigned>(index) * 256 + trail;
        m_arOther[bit / 64] |= std::uint64_t{1} << (bit % 64);
      }
    }
  }
}

const CCp932Tables& Tables() {
  static const std::unique_ptr<const CCp932Tables> s_pTables = std::make_unique<const CCp932Tables>();
  return *s_pTables;
}

std::size_t AsciiPrefixLength(std::string_view s) {
  const char* p = s.data();
  const std::size_t n = s.size();
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, p + i, 8);
    if (word & 0x8080808080808080ULL) break;
  }
  while (i < n && static_cast<unsigned char>(p[i]) < 0x80) ++i;
  return i;
}

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Decodes the strictly valid UTF-8 sequence at pos, or returns kInvalid and
// advances by one byte.
char32_t DecodeUtf8(std::string_view s, std::size_t& pos) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data()) + pos;
  const std::size_t left = s.size() - pos;
  const unsigned char b0 = p[0];
  if (b0 < 0x80) {
    ++pos;
    return b0;
  }
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    if (left >= 2 && IsContinuation(p[1])) {
      pos += 2;
      return (b0 & 0x1F) << 6 | (p[1] & 0x3F);
    }
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    if (left >= 3 && IsContinuation(p[1]) && IsContinuation(p[2])) {
      const char32_t cp = (b0 & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F);
      if (cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF)) {
        pos += 3;
        return cp;
      }
    }
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    if (left >= 4 && IsContinuation(p[1]) && IsContinuation(p[2]) && IsContinuation(p[3])) {
      const char32_t cp =
          static_cast<char32_t>(b0 & 0x07) << 18 | (p[1] & 0x3F) << 12 | (p[2] & 0x3F) << 6 | (p[3] & 0x3F);
      if (cp >= 0x10000 && cp <= 0x10FFFF) {
        pos += 4;
        return cp;
      }
    }
  }
  ++pos;
  return kInvalid;
}

// Writes cp (a valid scalar value) and returns the new end.
char* PutUtf8(char* p, char32_t cp) {
  if (cp < 0x80) {
    *p++ = static_cast<char>(cp);
  } else if (cp < 0x800) {
    *p++ = static_cast<char>(0xC0 | cp >> 6);
    *p++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    *p++ = static_cast<char>(0xE0 | cp >> 12);
    *p++ = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    *p++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    *p++ = static_cast<char>(0xF0 | cp >> 18);
    *p++ = static_cast<char>(0x80 | (cp >> 12 & 0x3F));
    *p++ = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    *p++ = static_cast<char>(0x80 | (cp & 0x3F));
  }
  return p;
}

void PutUtf16le(std::string& out, char32_t unit) {
  out.push_back(static_cast<char>(unit & 0xFF));
  out.push_back(static_cast<char>(unit >> 8));
}

}  // namespace

namespace {

// Invalid bytes become U+FFFD, or with escape their escapes. Returns false
// when a double-byte code is not the one its character encodes to.
bool DecodeCp932(std::string_view bytes, bool escape, std::string& out) {
  const std::size_t n = bytes.size();
  const std::size_t ascii = AsciiPrefixLength(bytes);
  if (ascii == n) {
    out.assign(bytes.data(), n);
    return true;
  }

  const CCp932Tables& tables = Tables();
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  out.resize(ascii + (n - ascii) * 3);  // no byte grows beyond three
  char* const begin = out.data();
  std::memcpy(begin, in, ascii);
  char* p = begin + ascii;
  bool preferred = true;
  for (std::size_t i = ascii; i < n;) {
    const unsigned char b = in[i];
    if (b < 0x80) {
      *p++ = static_cast<char>(b);
      ++i;
      continue;
    }
    char32_t cp = escape ? kByteEscapeBase + b : kReplacement;
    if (IsHalfWidthKana(b)) {
      cp = 0xFF61 + (b - 0xA1);
    } else if (const int index = LeadIndex(b); index >= 0 && i + 1 < n) {
      if (const char16_t c = tables.Decode(index, in[i + 1]); c != 0) {
        cp = c;
        preferred = preferred && tables.IsPreferred(index, in[i + 1]);
        ++i;
      }
    }
    ++i;
    p = PutUtf8(p, cp);
  }
  out.resize(static_cast<std::size_t>(p - begin));
  return preferred;
}

// Characters without a code (and invalid bytes) become '?' and make the
// result false; with escapes, escapes give their bytes.
bool EncodeCp932(std::string_view utf8, bool escapes, std::string& out) {
  const std::size_t n = utf8.size();
  const std::size_t ascii = AsciiPrefixLength(utf8);
  out.assign(utf8.data(), ascii);
  if (ascii == n) return true;

  const CCp932Tables& tables = Tables();
  out.resize(n);  // each character takes no more bytes than in UTF-8
  char* const begin = out.data();
  char* p = begin + ascii;
  bool ok = true;
  for (std::size_t pos = ascii; pos < n;) {
    const char32_t cp = DecodeUtf8(utf8, pos);
    if (cp < 0x80) {
      *p++ = static_cast<char>(cp);
      continue;
    }
    if (escapes && IsByteEscape(cp)) {
      *p++ = static_cast<char>(cp - kByteEscapeBase);
      continue;
    }
    const std::uint16_t code = cp == kInvalid ? 0 : tables.Encode(cp);
    if (code == 0) {
      *p++ = '?';
      ok = false;
    } else if (code < 0x100) {
      *p++ = static_cast<char>(code);
    } else {
      *p++ = static_cast<char>(code >> 8);
      *p++ = static_cast<char>(code & 0xFF);
    }
  }
  out.resize(static_cast<std::size_t>(p - begin));
  return ok;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view bytes) {
  std::string out;
  DecodeCp932(bytes, false, out);
  return out;
}

bool DecodeCp932Exact(std::string_view bytes, std::string& out) { return DecodeCp932(bytes, true, out); }

bool EncodeCp932Bytes(std::string_view utf8, std::string& out) { return EncodeCp932(utf8, true, out); }

bool EncodeCp932Exact(std::string_view utf8, std::string& out) {
  if (!EncodeCp932Bytes(utf8, out)) return false;
  if (!HasByteEscape(utf8)) return true;
  // An escaped byte may pair with its neighbour when decoded again.
  std::string back;
  DecodeCp932(out, true, back);
  return back == utf8;
}

std::string EscapeBytes(std::string_view bytes, bool escapeBackslash, bool* invalid) {
  if (invalid != nullptr) *invalid = false;
  std::size_t pos = AsciiPrefixLength(bytes);
  if (escapeBackslash) pos = std::min(pos, bytes.find('\\'));
  if (pos == bytes.size()) return std::string(bytes);
  std::string out(bytes.substr(0, pos));
  auto escape = [&out](std::string_view raw) {
    for (unsigned char b : raw) AppendUtf8(out, kByteEscapeBase + b);
  };
  while (pos < bytes.size()) {
    const std::size_t start = pos;
    const char32_t cp = DecodeUtf8(bytes, pos);
    const std::string_view raw = bytes.substr(start, pos - start);
    if (cp == kInvalid && invalid != nullptr) *invalid = true;
    if (cp == kInvalid || IsByteEscape(cp) || (cp == '\\' && escapeBackslash))
      escape(raw);
    else
      out.append(raw);
  }
  return out;
}

std::string UnescapeBytes(std::string_view text) {
  if (!HasByteEscape(text)) return std::string(text);
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t start = pos;
    const char32_t cp = DecodeUtf8(text, pos);
    if (IsByteEscape(cp))
      out.push_back(static_cast<char>(cp - kByteEscapeBase));
    else
      out.append(text.data() + start, pos - start);
  }
  return out;
}

bool HasByteEscape(std::string_view utf8) {
  // U+EF00 to U+EFFF are EE BC 80 to EE BF BF.
  for (std::size_t pos = utf8.find('\xEE'); pos != std::string_view::npos; pos = utf8.find('\xEE', pos + 1))
    if (pos + 1 < utf8.size() && (static_cast<unsigned char>(utf8[pos + 1]) & 0xFC) == 0xBC) return true;
  return false;
}

bool Utf8ToCp932(std::string_view utf8, std::string& out) { return EncodeCp932(utf8, false, out); }

std::string Utf16leToUtf8(const unsigned char* data, std::size_t units, bool* exact) {
  std::string out;
  out.reserve(units);
  for (std::size_t i = 0; i < units; ++i) {
    char32_t cp = data[2 * i] | data[2 * i + 1] << 8;
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < units) {
      const char32_t low = data[2 * i + 2] | data[2 * i + 3] << 8;
      if (low >= 0xDC00 && low <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if (exact != nullptr && cp >= 0xD800 && cp <= 0xDFFF) *exact = false;
    AppendUtf8(out, cp);
  }
  return out;
}

std::string Utf8ToUtf16le(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() * 2);
  for (std::size_t pos = 0; pos < utf8.size();) {
    char32_t cp = DecodeUtf8(utf8, pos);
    if (cp == kInvalid) cp = kReplacement;
    if (cp >= 0x10000) {
      PutUtf16le(out, 0xD800 + ((cp - 0x10000) >> 10));
      PutUtf16le(out, 0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      PutUtf16le(out, cp);
    }
  }
  return out;
}

std::string SanitizeUtf8(std::string_view bytes) {
  std::size_t pos = AsciiPrefixLength(bytes);
  std::size_t validEnd = pos;
  while (pos < bytes.size() && DecodeUtf8(bytes, pos) != kInvalid) validEnd = pos;
  if (validEnd == bytes.size()) return std::string(bytes);

  std::string out(bytes.substr(0, validEnd));
  for (pos = validEnd; pos < bytes.size();) {
    const std::size_t start = pos;
    if (DecodeUtf8(bytes, pos) == kInvalid)
      AppendUtf8(out, kReplacement);
    else
      out.append(bytes.data() + start, pos - start);
  }
  return out;
}

char32_t NextUtf8Char(std::string_view s, std::size_t& pos) {
  if (pos >= s.size()) return 0;
  const char32_t cp = DecodeUtf8(s, pos);
  return cp == kInvalid ? kReplacement : cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacement;
  char buffer[4];
  out.append(buffer, static_cast<std::size_t>(PutUtf8(buffer, cp) - buffer));
}

bool IsCp932Char(char32_t cp) { return cp < 0x80 || Tables().Encode(cp) != 0; }

std::uint32_t Cp932SortKey(char32_t cp) {
  if (cp < 0x80) return cp;
  const std::uint16_t code = Tables().Encode(cp);
  return code != 0 ? code : 0x10000 + static_cast<std::uint32_t>(cp);
}

char32_t FoldCaseChar(char32_t cp) {
  if (cp < 0x80) return cp >= 'A' && cp <= 'Z' ? cp + 0x20 : cp;
  if (cp >= 0xFF21 && cp <= 0xFF3A)  // full-width Latin
    return cp + 0x20;
  if (cp >= 0x0391 && cp <= 0x03A9 && cp != 0x03A2)  // Greek
    return cp + 0x20;
  if (cp >= 0x0410 && cp <= 0x042F)  // Cyrillic
    return cp + 0x20;
  if (cp == 0x0401)  // Cyrillic Io
    return 0x0451;
  if (IsCp932Char(cp) || cp > 0x10FFFF) return cp;
  return static_cast<char32_t>(g_unichar_tolower(static_cast<gunichar>(cp)));
}

void FoldCase(std::string_view utf8, std::string& out) {
  static constexpr auto kLower = [] {
    std::array<char, 128> table{};
    for (int c = 0; c < 128; ++c) table[c] = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 0x20 : c);
    return table;
  }();

  const std::size_t n = utf8.size();
  const std::size_t ascii = AsciiPrefixLength(utf8);
  out.resize(ascii);
  char* p = out.data();
  for (std::size_t i = 0; i < ascii; ++i) p[i] = kLower[static_cast<unsigned char>(utf8[i])];
  if (ascii == n) return;

  for (std::size_t pos = ascii; pos < n;) {
    const std::size_t start = pos;
    const char32_t cp = DecodeUtf8(utf8, pos);
    if (cp < 0x80) {
      out.push_back(kLower[cp]);
      continue;
    }
    const char32_t folded = cp == kInvalid ? cp : FoldCaseChar(cp);
    if (folded == cp)
      out.append(utf8.data() + start, pos - start);
    else
      AppendUtf8(out, folded);
  }
}

std::string NameTextOfBytes(std::string_view bytes) {
  bool invalid = false;
  std::string name = EscapeBytes(bytes, true, &invalid);
  if (!invalid) return name;
  std::string text;
  // Only text that gives back exactly these bytes: the opener looks for them.
  if (!DecodeCp932Exact(bytes, text) || HasByteEscape(text)) return name;
  return EscapeBytes(text, true);
}

bool IsValidUtf8(std::string_view bytes) {
  for (std::size_t pos = 0; pos < bytes.size();) {
    const std::size_t start = pos;
    // An invalid byte decodes as U+FFFD, which is also a character.
    if (NextUtf8Char(bytes, pos) == 0xFFFD && bytes.compare(start, pos - start, "\xEF\xBF\xBD") != 0) return false;
  }
  return true;
}
