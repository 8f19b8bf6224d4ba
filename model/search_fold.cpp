#include "model/search_fold.h"

#include <cstring>

#include <glib.h>

#include "platform/cp932_codec.h"

namespace {

constexpr std::size_t kNoCharacter = std::string::npos;
constexpr gunichar kVoicedMark = 0x3099;      // combining dakuten
constexpr gunichar kSemiVoicedMark = 0x309A;  // combining handakuten

// The character at pos, advancing pos; -1 (and one byte) for a byte that
// does not begin a valid UTF-8 sequence.
std::int64_t NextChar(std::string_view text, std::size_t& pos) {
  const std::size_t start = pos;
  const char32_t c = NextUtf8Char(text, pos);
  if (c != 0xFFFD || (pos - start == 3 && text.compare(start, 3, "\xEF\xBF\xBD") == 0)) return c;
  return -1;
}

bool ComputeStable(gunichar c) {
  if (g_unichar_combining_class(c) != 0) return false;
  // Marks may compose with what precedes them even with class 0, and so do
  // the conjoining Hangul letters.
  switch (g_unichar_type(c)) {
    case G_UNICODE_SPACING_MARK:
    case G_UNICODE_NON_SPACING_MARK:
    case G_UNICODE_ENCLOSING_MARK: return false;
    default: break;
  }
  if (c >= 0x1100 && c <= 0x11FF) return false;
  gunichar parts[G_UNICHAR_MAX_DECOMPOSITION_LENGTH];
  if (g_unichar_fully_decompose(c, FALSE, parts, G_N_ELEMENTS(parts)) == 1 && parts[0] == c) return true;
  // Composed characters such as が are their own NFC form; singletons and
  // excluded compositions are not.
  char utf8[8];
  const gint length = g_unichar_to_utf8(c, utf8);
  gchar* composed = g_utf8_normalize(utf8, length, G_NORMALIZE_NFC);
  const bool same = composed != nullptr && std::strlen(composed) == std::size_t(length) &&
                    std::memcmp(composed, utf8, std::size_t(length)) == 0;
  g_free(composed);
  return same;
}

}  // namespace

bool HasNonAscii(std::string_view text) {
  constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    if (word & kHigh) return true;
  }
  for (; i < text.size(); ++i)
    if (static_cast<unsigned char>(text[i]) >= 0x80) return true;
  return false;
}

CSearchFolder::CSearchFolder(CTextOptions options, bool foldCase) : m_options(options), m_bFoldCase(foldCase) {}
CSearchFolder::CSearchFolder(CSearchFolder&&) noexcept = default;
CSearchFolder& CSearchFolder::operator=(CSearchFolder&&) noexcept = default;
CSearchFolder::~CSearchFolder() = default;

bool CSearchFolder::IsStable(std::uint32_t c) {
  if (c < 0x300) return true;
  if (c > 0xFFFF) return ComputeStable(c);
  if (!m_pStable) m_pStable = std::make_unique<std::uint8_t[]>(0x10000);
  std::uint8_t& known = m_pStable[c];
  if (known == 0) known = ComputeStable(c) ? 1 : 2;
  return known == 1;
}

std::string_view CSearchFolder::Fold(std::string_view text, std::string& scratch) {
  if (!HasNonAscii(text)) {
    if (!m_bFoldCase) return text;
    scratch.assign(text.data(), text.size());
    for (char& c : scratch)
      if (c >= 'A' && c <= 'Z') c = char(c + 0x20);
    return scratch;
  }

  bool stable = true, valid = true;
  for (std::size_t pos = 0; pos < text.size() && stable;) {
    const std::int64_t c = NextChar(text, pos);
    if (c < 0)
      valid = false;
    else
      stable = IsStable(std::uint32_t(c));
  }
  std::string_view source = text;
  // Text that is not UTF-8 cannot be normalized; it is compared as it is.
  if (!stable && valid) {
    if (gchar* composed = g_utf8_normalize(text.data(), gssize(text.size()), G_NORMALIZE_NFC)) {
      m_strComposed.assign(composed);
      g_free(composed);
      source = m_strComposed;
    }
  }
  if (!m_bFoldCase && !m_options.bIgnoreWidth && !m_options.bIgnoreKana) return source;

  scratch.clear();
  m_nLastStart = kNoCharacter;
  for (std::size_t pos = 0; pos < source.size();) {
    const std::size_t start = pos;
    const std::int64_t c = NextChar(source, pos);
    if (c < 0) {
      scratch.push_back(source[start]);
      m_nLastStart = kNoCharacter;
    } else {
      AppendFolded(std::uint32_t(c), scratch);
    }
  }
  return scratch;
}

void CSearchFolder::AppendFolded(std::uint32_t c, std::string& out) {
  // The Halfwidth and Fullwidth Forms and the ideographic space take their
  // compatibility form: ＡＢ as AB, ｶ as カ, ﾞ as the combining mark that
  // then joins the character before it (ｶﾞ as ガ).
  if (m_options.bIgnoreWidth && (c == 0x3000 || (c >= 0xFF01 && c <= 0xFFEE))) {
    gunichar parts[G_UNICHAR_MAX_DECOMPOSITION_LENGTH];
    if (g_unichar_fully_decompose(c, TRUE, parts, G_N_ELEMENTS(parts)) == 1) {
      c = parts[0];
      if ((c == kVoicedMark || c == kSemiVoicedMark) && m_nLastStart != kNoCharacter) {
        std::size_t pos = m_nLastStart;
        const gunichar last = NextUtf8Char(out, pos);
        gunichar joined = 0;
        if (g_unichar_compose(last, c, &joined)) {
          out.resize(m_nLastStart);
          c = joined;
        }
      }
    }
  }
  AppendKanaAndCase(c, out);
}

void CSearchFolder::AppendKanaAndCase(std::uint32_t c, std::string& out) {
  if (m_options.bIgnoreKana) {
    if ((c >= 0x30A1 && c <= 0x30F6) || c == 0x30FD || c == 0x30FE) {
      c -= 0x60;  // the katakana block mirrors the hiragana block
    } else if (c >= 0x30F7 && c <= 0x30FA) {
      // ヷ to ヺ have no hiragana of their own: わ and the others with a mark.
      gunichar base = 0, mark = 0;
      if (g_unichar_decompose(c, &base, &mark) && mark != 0) {
        AppendKanaAndCase(base, out);
        c = mark;
      }
    }
  }
  if (m_bFoldCase) c = FoldCaseChar(c);
  m_nLastStart = out.size();
  AppendUtf8(out, c);
}
