#pragma once
// The plain file lists that catalogs are exported to and imported from, and
// the field forms they share: exact times, CSV quoting, TSV escapes.

#include <cstdint>
#include <string>
#include <string_view>

// csv, tsv: one row per item with a header naming the columns; efu: the
// Everything search tool's file list; jsonl: one JSON object per item;
// find: what `find DIR -printf '%y\t%s\t%T@\t%P\n'` prints (import only).
enum class EListFormat { Csv, Tsv, Efu, Jsonl, Find };

// The format a name ("csv", "tsv", "efu", "jsonl", "find") stands for.
bool ParseListFormat(std::string_view name, EListFormat& out);

// The columns of the csv and tsv forms, in the order written; xxh128 is a
// file's content fingerprint, empty where its catalog took none.
inline constexpr const char* kListColumns[] = {"catalog",  "path",    "name",       "kind", "size",
                                               "modified", "created", "attributes", "note", "xxh128"};

// A file time (100 ns since 1601, UTC) as ISO 8601 in UTC with all seven
// decimals, "2000-01-10T20:00:00.1234567+00:00", appended to out; the file
// time 0 (none recorded) appends nothing.
void AppendExactTime(std::uint64_t fileTime, std::string& out);
// The file time of such a text with any offset ("Z", "+09:00"), one to ten
// decimals or none (decimals past seven are dropped). False for anything
// else, an impossible date or a time before 1601; the empty text gives 0.
bool ParseExactTime(std::string_view text, std::uint64_t& fileTime);
// Seconds since 1970 with an optional fraction, as find's %T@ prints them.
bool ParseUnixSeconds(std::string_view text, std::uint64_t& fileTime);
// A decimal without sign or blanks that fits 64 bits (32 with max).
bool ParseDecimal(std::string_view text, std::uint64_t& out, std::uint64_t max = UINT64_MAX);
void AppendDecimal(std::uint64_t value, std::string& out);

// The first byte of text at or after at that is one of the few bytes of set,
// or npos. (find_first_of asks memchr of set for every byte of text.)
inline std::size_t FindAnyOf(std::string_view text, std::size_t at, std::string_view set) {
  for (; at < text.size(); ++at)
    for (const char c : set)
      if (text[at] == c) return at;
  return std::string_view::npos;
}

// field as one CSV field: quoted, with quotes doubled, when it holds a
// comma, a quote or a line break, or when always.
void AppendCsvField(std::string_view field, std::string& out, bool always = false);
// Whether a spreadsheet program opening a csv or tsv list would take field
// for a formula and run it: it starts with "=", "+", "-" or "@" (or, for
// programs that skip blanks first, a tab or CR). The spreadsheet-safe form of
// those lists puts "'" before such a field, so that it shows as text; the
// list then no longer imports back as it was.
bool RunsAsFormula(std::string_view field);
// csv and tsv, which spreadsheet programs open, have a spreadsheet-safe form.
inline bool HasSpreadsheetSafeForm(EListFormat format) {
  return format == EListFormat::Csv || format == EListFormat::Tsv;
}

// field with "\", tab, CR and LF as "\\", "\t", "\r" and "\n".
void AppendTsvField(std::string_view field, std::string& out);
// The reverse; false for a "\" not followed by one of those.
bool UnescapeTsvField(std::string_view field, std::string& out);
