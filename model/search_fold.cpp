#include "model/search_fold.h"

#include <cstring>

#include <glib.h>

#include "platform/cp932_codec.h"

namespace {

constexpr std::size_t kNoCharacter = std::string::npos;
constexpr gunichar kVoicedMark = 0x3099;      // combining dakuten
constexpr gunichar kSemiVoicedMark = 0x309A;  // combining handakuten

bool IsWidthForm(std::uint32_t c) { return c == 0x3000 || (c >= 0xFF01 && c <= 0xFFEE); }

// The katakana block mirrors the hiragana block.
std::uint32_t KatakanaAsHiragana(std::uint32_t c) {
  return (c >= 0x30A1 && c <= 0x30F6) || c == 0x30FD || c == 0x30FE ? c - 0x60 : c;
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

CSearchFolder::CSearchFolder(CTextOptions options, bool foldCase)
    : m_options(options), m_bFoldCase(foldCase), m_bFolds(foldCase || options.bIgnoreWidth || options.bIgnoreKana) {}
CSearchFolder::CSearchFolder(CSearchFolder&&) noexcept = default;
CSearchFolder& CSearchFolder::operator=(CSearchFolder&&) noexcept = default;
CSearchFolder::~CSearchFolder() = default;

std::uint32_t CSearchFolder::Compute(std::uint32_t c) const {
  std::uint32_t entry = ComputeStable(c) ? kKnown | kStable : std::uint32_t(kKnown);
  std::uint32_t folded = c;
  if (m_options.bIgnoreWidth && IsWidthForm(c)) {
    gunichar parts[G_UNICHAR_MAX_DECOMPOSITION_LENGTH];
    if (g_unichar_fully_decompose(c, TRUE, parts, G_N_ELEMENTS(parts)) == 1) folded = parts[0];
    // A voiced mark joins the character before it.
    if (folded == kVoicedMark || folded == kSemiVoicedMark) return entry;
  }
  if (m_options.bIgnoreKana) {
    if (folded >= 0x30F7 && folded <= 0x30FA) return entry;  // two characters in hiragana
    folded = KatakanaAsHiragana(folded);
  }
  if (m_bFoldCase) folded = FoldCaseChar(folded);
  return entry | kSimple | folded;
}

std::uint32_t CSearchFolder::Lookup(std::uint32_t c) {
  if (c > 0xFFFF) return Compute(c);
  if (!m_pKnown) m_pKnown = std::make_unique<std::uint32_t[]>(0x10000);
  std::uint32_t& known = m_pKnown[c];
  if (known == 0) known = Compute(c);
  return known;
}

std::string_view CSearchFolder::Fold(std::string_view text, std::string& scratch) {
  if (!HasNonAscii(text)) {
    if (!m_bFoldCase) return text;
    scratch.assign(text.data(), text.size());
    for (char& c : scratch)
      if (c >= 'A' && c <= 'Z') c = char(c + 0x20);
    return scratch;
  }
  if (FoldInto(text, scratch, false)) return m_bFolds ? std::string_view(scratch) : text;
  // Not in NFC: compose it first. Text that is not UTF-8 cannot be
  // normalized; it is compared as it is.
  gchar* composed = g_utf8_normalize(text.data(), gssize(text.size()), G_NORMALIZE_NFC);
  if (composed == nullptr) {
    FoldInto(text, scratch, true);
    return m_bFolds ? std::string_view(scratch) : text;
  }
  m_strComposed.assign(composed);
  g_free(composed);
  if (!m_bFolds) return m_strComposed;
  FoldInto(m_strComposed, scratch, true);
  return scratch;
}

bool CSearchFolder::FoldInto(std::string_view source, std::string& out, bool composed) {
  out.clear();
  m_nLastStart = kNoCharacter;
  const auto* bytes = reinterpret_cast<const unsigned char*>(source.data());
  const std::size_t n = source.size();
  for (std::size_t pos = 0; pos < n;) {
    const unsigned char b0 = bytes[pos];
    if (b0 < 0x80) {
      if (m_bFolds) {
        m_nLastStart = out.size();
        out.push_back(char(m_bFoldCase && b0 >= 'A' && b0 <= 'Z' ? b0 + 0x20 : b0));
      }
      ++pos;
      continue;
    }
    std::uint32_t c;
    std::size_t length;
    // Three bytes, the common case in Japanese text, decoded here; others by GLib.
    if ((b0 & 0xF0) == 0xE0 && pos + 2 < n && (bytes[pos + 1] & 0xC0) == 0x80 && (bytes[pos + 2] & 0xC0) == 0x80 &&
        (c = (b0 & 0x0Fu) << 12 | (bytes[pos + 1] & 0x3Fu) << 6 | (bytes[pos + 2] & 0x3Fu)) >= 0x800 &&
        (c < 0xD800 || c > 0xDFFF)) {
      length = 3;
    } else {
      c = g_utf8_get_char_validated(source.data() + pos, gssize(n - pos));
      if (c >= 0x110000) {  // not UTF-8: the byte stays as it is
        if (m_bFolds) out.push_back(char(b0));
        m_nLastStart = kNoCharacter;
        ++pos;
        continue;
      }
      length = std::size_t(g_utf8_skip[b0]);
    }
    const std::uint32_t entry = Lookup(c);
    if (!composed && !(entry & kStable)) return false;
    if (m_bFolds) {
      if (!(entry & kSimple)) {
        AppendFolded(c, out);
      } else {
        m_nLastStart = out.size();
        if ((entry & kCharMask) == c)
          out.append(source.data() + pos, length);
        else
          AppendUtf8(out, entry & kCharMask);
      }
    }
    pos += length;
  }
  return true;
}

void CSearchFolder::AppendFolded(std::uint32_t c, std::string& out) {
  // The Halfwidth and Fullwidth Forms and the ideographic space take their
  // compatibility form: ＡＢ as AB, ｶ as カ, ﾞ as the combining mark that
  // then joins the character before it (ｶﾞ as ガ).
  if (m_options.bIgnoreWidth && IsWidthForm(c)) {
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
    if (c >= 0x30F7 && c <= 0x30FA) {
      // ヷ to ヺ have no hiragana of their own: わ and the others with a mark.
      gunichar base = 0, mark = 0;
      if (g_unichar_decompose(c, &base, &mark) && mark != 0) {
        AppendKanaAndCase(base, out);
        c = mark;
      }
    }
    c = KatakanaAsHiragana(c);
  }
  if (m_bFoldCase) c = FoldCaseChar(c);
  m_nLastStart = out.size();
  AppendUtf8(out, c);
}
