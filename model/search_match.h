#pragma once
// The matching rules of the search: name and note text, size range and
// modification-date range.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/time_format.h"

class CFileInfo;

// Text rule: exact or substring, with or without regard to case.
bool MatchText(std::string_view subject, std::string_view pattern, bool exact, bool caseSensitive);

struct CTextCriterion {
  CTextCriterion(std::string pattern, bool exact, bool caseSensitive);
  bool Matches(std::string_view subject);

  std::string m_strPattern;
  bool m_bExact;
  bool m_bCaseSensitive;

 private:
  // Case-blind matching of an ASCII pattern against an ASCII subject, without
  // folding a copy; -1 when the subject is not ASCII.
  int MatchAsciiIgnoringCase(std::string_view subject) const;

  std::string m_strFoldedPattern;
  bool m_bAsciiPattern = false;
  std::string m_strScratch;  // folded subject, reused across items
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

// Midnight local time of the day that holds time.
CTime StartOfLocalDay(CTime time);
