#pragma once
// The matching rules of the search: name and note text, size range and
// modification-date range.

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "model/search_fold.h"
#include "model/time_format.h"

class CFileInfo;

// Text rule: exact or substring, with or without regard to case. Canonically
// equivalent texts (NFC and NFD) are always equal.
bool MatchText(std::string_view subject, std::string_view pattern, bool exact, bool caseSensitive,
               CTextOptions options = {});

// Whether a name pattern holds a wildcard ("*" or "?"); such a pattern
// matches whole names, whatever the exact flag says.
bool HasWildcards(std::string_view pattern);

struct CTextCriterion {
  // With wildcards, a pattern that holds "*" (any run of characters) or "?"
  // (one character) is matched against the whole subject.
  CTextCriterion(std::string pattern, bool exact, bool caseSensitive, CTextOptions options = {},
                 bool wildcards = false);
  bool Matches(std::string_view subject);

  std::string m_strPattern;
  bool m_bExact;
  bool m_bCaseSensitive;
  CTextOptions m_options;

 private:
  bool Compare(std::string_view folded) const;
  // Matching of an ASCII pattern against an ASCII subject, which no option
  // changes but case: -1 when the subject is not ASCII (or very long).
  template <bool kFoldCase>
  int MatchAscii(std::string_view subject) const;

  CSearchFolder m_folder;
  // The pattern in compared form; with wildcards, kAnyRun and kAnyOne stand
  // for "*" and "?" (bytes that UTF-8 text never holds).
  std::string m_strFoldedPattern;
  bool m_bGlob = false;
  bool m_bAsciiPattern = false;
  bool m_bRawMissIsMiss = false;  // with an ASCII pattern: see Matches
  std::string m_strScratch;       // folded subject, reused across items
};

struct CSizeCriterion {
  std::uint32_t nLowerKB = 0;  // 0: no bound
  std::uint32_t nUpperKB = 0;
};

struct CDateCriterion {
  std::optional<CTime> lower;
  std::optional<CTime> upper;
};

// Predicates for CFileInfo::Search; params points to the criterion above.
int MatchName(const CFileInfo& item, void* params);  // CTextCriterion
int MatchNote(const CFileInfo& item, void* params);  // CTextCriterion
int MatchSize(const CFileInfo& item, void* params);  // CSizeCriterion
int MatchDate(const CFileInfo& item, void* params);  // CDateCriterion

// Reads "Y/M/D" or "Y/M/D h:m" as a local time; nothing when unusable.
std::optional<CTime> ParseDateBound(std::string_view text);

// For the command line: "Y/M/D", "Y/M/D h:m", "Y-M-D" or "Y-M-D h:m" with a
// year of at least four digits (1601 on) and every field within its range, as
// a local time; nothing for any other text.
std::optional<CTime> ParseStrictDate(std::string_view text);
// Those forms as the user is told them.
inline constexpr char kStrictDateForms[] = "YYYY/MM/DD、YYYY/MM/DD h:m、YYYY-MM-DD、YYYY-MM-DD h:m";

// The local time of the calendar fields (out of range ones roll over, as
// mktime does), telling failure from the second before 1970 (UTC);
// normalized, when given, receives the fields as rolled over.
std::optional<CTime> LocalTime(int year, int month, int day, int hour, int minute, struct tm* normalized = nullptr);

// Midnight local time of the day that holds time.
CTime StartOfLocalDay(CTime time);
