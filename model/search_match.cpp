#include "model/search_match.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <ctime>

#include "model/file_info.h"
#include "platform/cp932_codec.h"

namespace {

// Stand-ins for "*" and "?" in a folded pattern: bytes UTF-8 never holds.
constexpr char kAnyRun = '\xFF';
constexpr char kAnyOne = '\xFE';

bool Occurs(std::string_view subject, std::string_view pattern) {
  // An empty pattern occurs in every non-empty subject. In UTF-8 a match of
  // whole characters can only start on a character boundary.
  if (pattern.empty()) return !subject.empty();
  return subject.find(pattern) != std::string_view::npos;
}

std::size_t NextCharStart(std::string_view text, std::size_t pos) {
  ++pos;
  while (pos < text.size() && (static_cast<unsigned char>(text[pos]) & 0xC0) == 0x80) ++pos;
  return pos;
}

// Whole-subject match of a folded pattern whose only wildcards are "*": the
// part before the first must begin the subject, the part after the last end
// it, and the parts between occur in order in what is left; the leftmost
// occurrence of each leaves the most room for the others.
bool MatchesStars(std::string_view subject, std::string_view pattern) {
  const std::size_t firstStar = pattern.find(kAnyRun), lastStar = pattern.rfind(kAnyRun);
  const std::string_view prefix = pattern.substr(0, firstStar), suffix = pattern.substr(lastStar + 1);
  if (subject.size() < prefix.size() + suffix.size() || subject.substr(0, prefix.size()) != prefix ||
      subject.substr(subject.size() - suffix.size()) != suffix)
    return false;
  const std::string_view middle = subject.substr(0, subject.size() - suffix.size());
  std::size_t at = prefix.size();
  for (std::size_t start = firstStar + 1; start < lastStar;) {
    const std::size_t next = pattern.find(kAnyRun, start);
    const std::string_view part = pattern.substr(start, next - start);
    if (!part.empty()) {
      const std::size_t found = middle.find(part, at);
      if (found == std::string_view::npos) return false;
      at = found + part.size();
    }
    start = next + 1;
  }
  return true;
}

// Whole-subject match of a folded wildcard pattern; on a mismatch the last
// "*" takes one more character and the match resumes after it.
bool MatchesWildcards(std::string_view subject, std::string_view pattern) {
  if (pattern.find(kAnyOne) == std::string_view::npos) return MatchesStars(subject, pattern);
  std::size_t s = 0, p = 0;
  std::size_t starPattern = std::string_view::npos, starSubject = 0;
  while (s < subject.size()) {
    if (p < pattern.size() && pattern[p] == kAnyRun) {
      starPattern = ++p;
      starSubject = s;
    } else if (p < pattern.size() && pattern[p] == kAnyOne) {
      s = NextCharStart(subject, s);
      ++p;
    } else if (p < pattern.size() && pattern[p] == subject[s]) {
      ++s;
      ++p;
    } else if (starPattern != std::string_view::npos) {
      starSubject = NextCharStart(subject, starSubject);
      s = starSubject;
      p = starPattern;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == kAnyRun) ++p;
  return p == pattern.size();
}

}  // namespace

bool MatchText(std::string_view subject, std::string_view pattern, bool exact, bool caseSensitive,
               CTextOptions options) {
  CTextCriterion criterion{std::string(pattern), exact, caseSensitive, options};
  return criterion.Matches(subject);
}

bool HasWildcards(std::string_view pattern) { return pattern.find_first_of("*?") != std::string_view::npos; }

CTextCriterion::CTextCriterion(std::string pattern, bool exact, bool caseSensitive, CTextOptions options,
                               bool wildcards)
    : m_strPattern(std::move(pattern)),
      m_bExact(exact),
      m_bCaseSensitive(caseSensitive),
      m_options(options),
      m_folder(options, !caseSensitive) {
  std::string scratch;
  m_bGlob = wildcards && HasWildcards(m_strPattern);
  if (!m_bGlob) {
    m_strFoldedPattern = std::string(m_folder.Fold(m_strPattern, scratch));
  } else {
    // Each literal run is folded on its own, so that a full-width "＊" the
    // width option turns into "*" stays a literal.
    for (std::size_t start = 0;;) {
      const std::size_t wildcard = m_strPattern.find_first_of("*?", start);
      const std::string_view literal = std::string_view(m_strPattern).substr(start, wildcard - start);
      for (const char c : m_folder.Fold(literal, scratch)) {
        if (c == kAnyRun || c == kAnyOne)
          m_strFoldedPattern += "\xEF\xBF\xBD";  // not UTF-8 in the pattern: no wildcard either
        else
          m_strFoldedPattern += c;
      }
      if (wildcard == std::string::npos) break;
      m_strFoldedPattern += m_strPattern[wildcard] == '*' ? kAnyRun : kAnyOne;
      start = wildcard + 1;
    }
  }
  m_bAsciiPattern = std::all_of(m_strFoldedPattern.begin(), m_strFoldedPattern.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x80 || c == kAnyRun || c == kAnyOne;
  });
  m_bRawMissIsMiss = m_bAsciiPattern && m_bCaseSensitive && !m_bGlob && !m_bExact && !m_options.bIgnoreWidth &&
                     !m_strFoldedPattern.empty() && m_strFoldedPattern.find_first_of("K;`") == std::string::npos;
}

inline bool CTextCriterion::Compare(std::string_view folded) const {
  if (m_bGlob) return MatchesWildcards(folded, m_strFoldedPattern);
  return m_bExact ? folded == m_strFoldedPattern : Occurs(folded, m_strFoldedPattern);
}

template <bool kFoldCase>
int CTextCriterion::MatchAscii(std::string_view subject) const {
  // Names are short: test them for ASCII eight bytes at a time, folding them
  // into a local buffer in the same pass when case is ignored, and note where
  // the pattern's first byte could stand, so that most names need no search.
  constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  const std::size_t n = subject.size();
  if (n > 256) return -1;
  alignas(8) char folded[256];
  const std::uint64_t first =
      kOnes * static_cast<unsigned char>(m_strFoldedPattern.empty() ? 0 : m_strFoldedPattern[0]);
  std::uint64_t any = 0, candidates = 0;
  const auto take = [&](std::uint64_t word, std::size_t at) {
    any |= word;
    if (kFoldCase) {
      // For bytes below 0x80 no addition carries into the next byte: the high
      // bit of each sum tells whether the byte is at least 'A', above 'Z'.
      const std::uint64_t atLeastA = word + kOnes * (0x80 - 'A');
      const std::uint64_t aboveZ = word + kOnes * (0x80 - 'Z' - 1);
      word |= ((atLeastA ^ aboveZ) & kHigh) >> 2;
      std::memcpy(folded + at, &word, 8);
    }
    // Bytes equal to the first one become zero; this flags every zero byte
    // (and at worst a byte above one), never misses one.
    const std::uint64_t x = word ^ first;
    candidates |= (x - kOnes) & ~x & kHigh;
  };
  if (n >= 8) {
    std::uint64_t word;
    for (std::size_t i = 0; i + 8 < n; i += 8) {
      std::memcpy(&word, subject.data() + i, 8);
      take(word, i);
    }
    // The last eight bytes, overlapping the word before: folding twice is harmless.
    std::memcpy(&word, subject.data() + n - 8, 8);
    take(word, n - 8);
  } else {
    std::uint64_t word = 0;
    for (std::size_t i = 0; i < n; ++i) word |= std::uint64_t(static_cast<unsigned char>(subject[i])) << (8 * i);
    take(word, 0);
  }
  if ((any & kHigh) != 0) return -1;
  const std::string_view text = kFoldCase ? std::string_view(folded, n) : subject;
  if (!m_bGlob && !m_bExact && !m_strFoldedPattern.empty() && candidates == 0) return 0;
  return Compare(text);
}

bool CTextCriterion::Matches(std::string_view subject) {
  // Composing never makes ASCII text where there was none, except for the
  // three signs that stand for "K", ";" and "`": without the width option
  // and these, an ASCII part the subject lacks it lacks composed too.
  if (m_bRawMissIsMiss && subject.find(m_strFoldedPattern) == std::string_view::npos) return false;
  // Options and normalization change nothing in ASCII text but case.
  if (m_bAsciiPattern) {
    const int ascii = m_bCaseSensitive ? MatchAscii<false>(subject) : MatchAscii<true>(subject);
    if (ascii >= 0) return ascii != 0;
  }
  return Compare(m_folder.Fold(subject, m_strScratch));
}

int MatchName(const CFileInfo& item, void* params) {
  return static_cast<CTextCriterion*>(params)->Matches(item.GetName()) ? 1 : 0;
}

int MatchNote(const CFileInfo& item, void* params) {
  return static_cast<CTextCriterion*>(params)->Matches(item.GetNote()) ? 1 : 0;
}

int MatchSize(const CFileInfo& item, void* params) {
  if (item.IsContainer()) return 0;
  const auto* criterion = static_cast<const CSizeCriterion*>(params);
  const std::uint64_t size = item.GetSize();
  if (criterion->nLowerKB != 0 && size < std::uint64_t(criterion->nLowerKB) * 1024) return 0;
  if (criterion->nUpperKB != 0 && size > std::uint64_t(criterion->nUpperKB) * 1024) return 0;
  return 1;
}

CTime StartOfLocalDay(CTime time) {
  if (time == kInvalidTime) return kInvalidTime;
  const time_t t = time_t(time);
  struct tm local {};
  if (localtime_r(&t, &local) == nullptr) return kInvalidTime;
  return LocalTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, 0, 0).value_or(kInvalidTime);
}

int MatchDate(const CFileInfo& item, void* params) {
  const auto* criterion = static_cast<const CDateCriterion*>(params);
  const CTime day = StartOfLocalDay(item.GetModifiedTime());
  if (day == kInvalidTime) return !criterion->lower && !criterion->upper;
  if (criterion->lower && *criterion->lower > day) return 0;
  if (criterion->upper && day > *criterion->upper) return 0;
  return 1;
}

std::optional<CTime> LocalTime(int year, int month, int day, int hour, int minute, struct tm* normalized) {
  struct tm local {};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_isdst = -1;
  // mktime's -1 is also a real time (a second before 1970 in UTC), so
  // failure shows in the fields it leaves untouched.
  local.tm_wday = -1;
#ifdef _WIN32
  const time_t t = QuarrixMakeTime(&local);  // the C runtime's covers 1970 to 3000 only
#else
  const time_t t = mktime(&local);
#endif
  if (normalized != nullptr) *normalized = local;
  if (t == time_t(-1) && local.tm_wday == -1) return std::nullopt;
  return CTime(t);
}

namespace {

// Leading blanks, an optional sign, then digits up to the first other
// character; no digits give 0. Saturates instead of overflowing.
int ReadInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > INT_MAX) value = INT_MAX;
  }
  return int(negative ? -value : value);
}

}  // namespace

std::optional<CTime> ParseDateBound(std::string_view text) {
  const std::size_t slash1 = text.find('/');
  if (slash1 == std::string_view::npos) return std::nullopt;
  const int year = ReadInteger(text.substr(0, slash1));
  if (year < 1900) return std::nullopt;
  const std::string_view afterYear = text.substr(slash1 + 1);
  const std::size_t slash2 = afterYear.find('/');
  if (slash2 == std::string_view::npos) return std::nullopt;
  const int month = ReadInteger(afterYear.substr(0, slash2));
  if (month == 0) return std::nullopt;
  const std::string_view rest = afterYear.substr(slash2 + 1);

  int day = 0, hour = 0, minute = 0;
  const std::size_t blank = rest.find(' ');
  if (blank != std::string_view::npos) {
    day = ReadInteger(rest.substr(0, blank));
    if (day == 0) return std::nullopt;
    const std::string_view clock = rest.substr(blank + 1);
    const std::size_t colon = clock.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    hour = ReadInteger(clock.substr(0, colon));
    minute = ReadInteger(clock.substr(colon + 1));
  } else {
    day = ReadInteger(rest);
    if (day == 0) return std::nullopt;
  }

  return LocalTime(year, month, day, hour, minute);
}

std::optional<CTime> ParseStrictDate(std::string_view text) {
  // Digits, separators and nothing else; each field within its calendar range.
  std::size_t pos = 0;
  const auto number = [&text, &pos](std::size_t maxDigits, int& out) {
    const std::size_t start = pos;
    out = 0;
    while (pos < text.size() && pos - start < maxDigits && text[pos] >= '0' && text[pos] <= '9')
      out = out * 10 + (text[pos++] - '0');
    return pos > start;
  };
  const auto separator = [&text, &pos](char c) {
    if (pos >= text.size() || text[pos] != c) return false;
    ++pos;
    return true;
  };
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
  if (!number(5, year) || pos < 4) return std::nullopt;
  const char dateSeparator = pos < text.size() ? text[pos] : '/';
  if (dateSeparator != '/' && dateSeparator != '-') return std::nullopt;
  if (!separator(dateSeparator) || !number(2, month) || !separator(dateSeparator) || !number(2, day))
    return std::nullopt;
  if (separator(' ') && (!number(2, hour) || !separator(':') || !number(2, minute))) return std::nullopt;
  if (pos != text.size() || year < 1601 || month < 1 || month > 12 || hour > 23 || minute > 59) return std::nullopt;

  struct tm local {};
  const std::optional<CTime> time = LocalTime(year, month, day, hour, minute, &local);
  // A day the month does not have rolls over; that is no date.
  if (!time || local.tm_mday != day || local.tm_mon != month - 1) return std::nullopt;
  return time;
}
