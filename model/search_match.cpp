#include "model/search_match.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <ctime>

#include "model/file_info.h"
#include "platform/cp932_codec.h"

namespace {

bool Occurs(std::string_view subject, std::string_view pattern) {
  // An empty pattern occurs in every non-empty subject. In UTF-8 a match of
  // whole characters can only start on a character boundary.
  if (pattern.empty()) return !subject.empty();
  return subject.find(pattern) != std::string_view::npos;
}

}  // namespace

bool MatchText(std::string_view subject, std::string_view pattern, bool exact, bool caseSensitive) {
  CTextCriterion criterion{std::string(pattern), exact, caseSensitive};
  return criterion.Matches(subject);
}

CTextCriterion::CTextCriterion(std::string pattern, bool exact, bool caseSensitive)
    : m_strPattern(std::move(pattern)), m_bExact(exact), m_bCaseSensitive(caseSensitive) {
  if (m_bCaseSensitive) return;
  FoldCase(m_strPattern, m_strFoldedPattern);
  m_bAsciiPattern = std::all_of(m_strFoldedPattern.begin(), m_strFoldedPattern.end(),
                                [](char c) { return (unsigned char)c < 0x80; });
}

int CTextCriterion::MatchAsciiIgnoringCase(std::string_view subject) const {
  // Names are short: fold them eight bytes at a time into a local buffer,
  // checking for ASCII in the same pass, then search with the library's find.
  constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  alignas(8) char folded[264];
  const std::size_t n = subject.size();
  if (n > 256) return -1;
  std::uint64_t any = 0;
  for (std::size_t i = 0; i < n; i += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, subject.data() + i, std::min<std::size_t>(8, n - i));
    any |= word;
    // For bytes below 0x80 no addition carries into the next byte: the high
    // bit of each sum tells whether the byte is at least 'A', above 'Z'.
    const std::uint64_t atLeastA = word + kOnes * (0x80 - 'A');
    const std::uint64_t aboveZ = word + kOnes * (0x80 - 'Z' - 1);
    word |= ((atLeastA ^ aboveZ) & kHigh) >> 2;
    std::memcpy(folded + i, &word, 8);
  }
  if ((any & kHigh) != 0) return -1;
  const std::string_view lower(folded, n);
  if (m_bExact) return lower == m_strFoldedPattern;
  return Occurs(lower, m_strFoldedPattern);
}

bool CTextCriterion::Matches(std::string_view subject) {
  if (m_bCaseSensitive) return m_bExact ? subject == m_strPattern : Occurs(subject, m_strPattern);
  if (m_bAsciiPattern) {
    const int ascii = MatchAsciiIgnoringCase(subject);
    if (ascii >= 0) return ascii != 0;
  }
  FoldCase(subject, m_strScratch);
  return m_bExact ? m_strScratch == m_strFoldedPattern : Occurs(m_strScratch, m_strFoldedPattern);
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
  local.tm_hour = local.tm_min = local.tm_sec = 0;
  local.tm_isdst = -1;
  return CTime(mktime(&local));
}

int MatchDate(const CFileInfo& item, void* params) {
  const auto* criterion = static_cast<const CDateCriterion*>(params);
  const CTime day = StartOfLocalDay(item.GetModifiedTime());
  if (day == kInvalidTime) return !criterion->lower && !criterion->upper;
  if (criterion->lower && *criterion->lower > day) return 0;
  if (criterion->upper && day > *criterion->upper) return 0;
  return 1;
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

  struct tm local {};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_isdst = -1;
  const time_t t = mktime(&local);
  if (t == time_t(-1)) return std::nullopt;
  return CTime(t);
}
