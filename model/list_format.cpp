#include "model/list_format.h"

#include "model/time_format.h"
#include "platform/file_time.h"

namespace {

constexpr std::uint64_t kTicksPerSecond = 10000000;
constexpr std::int64_t kSecondsPerDay = 86400;

// A date of the proleptic Gregorian calendar from days since 1970-01-01.
void CivilFromDays(std::int64_t days, std::int64_t& year, unsigned& month, unsigned& day) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t dayOfEra = days - era * 146097;
  const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t shifted = (5 * dayOfYear + 2) / 153;
  day = unsigned(dayOfYear - (153 * shifted + 2) / 5 + 1);
  month = unsigned(shifted < 10 ? shifted + 3 : shifted - 9);
  year = yearOfEra + era * 400 + (month <= 2);
}

unsigned DaysInMonth(std::int64_t year, unsigned month) {
  static const unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// Reads exactly width digits at text[at].
bool ReadDigits(std::string_view text, std::size_t& at, std::size_t width, unsigned& out) {
  if (text.size() < at + width) return false;
  out = 0;
  for (std::size_t end = at + width; at < end; ++at) {
    if (text[at] < '0' || text[at] > '9') return false;
    out = out * 10 + unsigned(text[at] - '0');
  }
  return true;
}

bool Expect(std::string_view text, std::size_t& at, char c) {
  if (at >= text.size() || text[at] != c) return false;
  ++at;
  return true;
}

// Up to ten decimals (find prints ten) after a point at text[at], as 100 ns ticks.
bool ReadFraction(std::string_view text, std::size_t& at, std::uint64_t& ticks) {
  ticks = 0;
  if (at >= text.size() || text[at] != '.') return true;
  const std::size_t first = ++at;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
    if (at - first < 7) ticks = ticks * 10 + std::uint64_t(text[at] - '0');
  const std::size_t count = at - first;
  if (count == 0 || count > 10) return false;
  for (std::size_t i = count; i < 7; ++i) ticks *= 10;
  return true;
}

// Seconds since 1970 and ticks as a file time; false before 1601 or past 64 bits.
bool ToFileTime(std::int64_t seconds, std::uint64_t ticks, std::uint64_t& fileTime) {
  const std::int64_t since1601 = seconds + std::int64_t(kFileTimeEpochOffset);
  if (since1601 < 0 || std::uint64_t(since1601) > (UINT64_MAX - ticks) / kTicksPerSecond) return false;
  fileTime = std::uint64_t(since1601) * kTicksPerSecond + ticks;
  return true;
}

}  // namespace

bool ParseListFormat(std::string_view name, EListFormat& out) {
  static const std::pair<const char*, EListFormat> kNames[] = {{"csv", EListFormat::Csv},
                                                               {"tsv", EListFormat::Tsv},
                                                               {"efu", EListFormat::Efu},
                                                               {"jsonl", EListFormat::Jsonl},
                                                               {"find", EListFormat::Find}};
  for (const auto& [text, format] : kNames) {
    if (name != text) continue;
    out = format;
    return true;
  }
  return false;
}

void AppendExactTime(std::uint64_t fileTime, std::string& out) {
  if (fileTime == 0) return;
  const std::int64_t seconds = std::int64_t(fileTime / kTicksPerSecond) - std::int64_t(kFileTimeEpochOffset);
  std::int64_t days = seconds / kSecondsPerDay, rest = seconds % kSecondsPerDay;
  if (rest < 0) rest += kSecondsPerDay, --days;
  std::int64_t year = 0;
  unsigned month = 0, day = 0;
  CivilFromDays(days, year, month, day);
  // Filled from the end: "YYYY-MM-DDTHH:MM:SS.fffffff+00:00", five digits of year past 9999.
  char text[40];
  char* at = text + sizeof text;
  const auto digits = [&at](std::uint64_t value, int width) {
    for (int i = 0; i < width; ++i, value /= 10) *--at = char('0' + value % 10);
  };
  const auto put = [&at](char c) { *--at = c; };
  for (const char c : {'0', '0', ':', '0', '0', '+'}) put(c);
  digits(fileTime % kTicksPerSecond, 7);
  put('.');
  digits(std::uint64_t(rest % 60), 2);
  put(':');
  digits(std::uint64_t(rest / 60 % 60), 2);
  put(':');
  digits(std::uint64_t(rest / 3600), 2);
  put('T');
  digits(day, 2);
  put('-');
  digits(month, 2);
  put('-');
  digits(std::uint64_t(year), year > 9999 ? 5 : 4);
  out.append(at, std::size_t(text + sizeof text - at));
}

bool ParseExactTime(std::string_view text, std::uint64_t& fileTime) {
  fileTime = 0;
  if (text.empty()) return true;
  std::size_t at = 0;
  unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  // Five-digit years are the file times past 9999.
  const std::size_t yearDigits = text.size() > 5 && text[4] != '-' ? 5 : 4;
  if (!ReadDigits(text, at, yearDigits, year) || !Expect(text, at, '-') || !ReadDigits(text, at, 2, month) ||
      !Expect(text, at, '-') || !ReadDigits(text, at, 2, day) || !Expect(text, at, 'T') ||
      !ReadDigits(text, at, 2, hour) || !Expect(text, at, ':') || !ReadDigits(text, at, 2, minute) ||
      !Expect(text, at, ':') || !ReadDigits(text, at, 2, second))
    return false;
  std::uint64_t ticks = 0;
  if (!ReadFraction(text, at, ticks)) return false;
  std::int64_t offset = 0;
  if (at < text.size() && text[at] == 'Z') {
    ++at;
  } else {
    if (at >= text.size() || (text[at] != '+' && text[at] != '-')) return false;
    const bool west = text[at++] == '-';
    unsigned offsetHours = 0, offsetMinutes = 0;
    if (!ReadDigits(text, at, 2, offsetHours) || !Expect(text, at, ':') || !ReadDigits(text, at, 2, offsetMinutes) ||
        offsetHours > 23 || offsetMinutes > 59)
      return false;
    offset = (std::int64_t(offsetHours) * 60 + offsetMinutes) * 60 * (west ? -1 : 1);
  }
  if (at != text.size() || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 ||
      minute > 59 || second > 59)
    return false;
  const std::int64_t seconds =
      DaysFromCivil(year, int(month), int(day)) * kSecondsPerDay + hour * 3600 + minute * 60 + second;
  return ToFileTime(seconds - offset, ticks, fileTime) && fileTime != 0;
}

bool ParseUnixSeconds(std::string_view text, std::uint64_t& fileTime) {
  std::size_t at = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) ++at;
  const std::size_t first = at;
  std::uint64_t whole = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    if (whole > 1000000000000ULL) return false;
    whole = whole * 10 + std::uint64_t(text[at] - '0');
  }
  std::uint64_t ticks = 0;
  if (at == first || !ReadFraction(text, at, ticks) || at != text.size()) return false;
  std::int64_t seconds = negative ? -std::int64_t(whole) : std::int64_t(whole);
  // A time before 1970 is a negative second and a fraction back from it.
  if (negative && ticks != 0) seconds -= 1, ticks = kTicksPerSecond - ticks;
  // The epoch itself would read as no time: the tick after it is the nearest.
  return ToFileTime(seconds, ticks, fileTime) && (fileTime != 0 || (fileTime = 1));
}

bool ParseDecimal(std::string_view text, std::uint64_t& out, std::uint64_t max) {
  if (text.empty() || text.size() > 20) return false;
  std::uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    const std::uint64_t digit = std::uint64_t(c - '0');
    if (value > (max - digit) / 10) return false;
    value = value * 10 + digit;
  }
  out = value;
  return true;
}

void AppendDecimal(std::uint64_t value, std::string& out) {
  char digits[20];
  int n = 0;
  do digits[19 - n++] = char('0' + value % 10);
  while ((value /= 10) != 0);
  out.append(digits + 20 - n, std::size_t(n));
}

void AppendCsvField(std::string_view field, std::string& out, bool always) {
  if (!always && FindAnyOf(field, 0, ",\"\r\n") == std::string_view::npos) {
    out += field;
    return;
  }
  out += '"';
  for (std::size_t at = 0;;) {
    const std::size_t quote = field.find('"', at);
    out.append(field.substr(at, quote - at));
    if (quote == std::string_view::npos) break;
    out += "\"\"";
    at = quote + 1;
  }
  out += '"';
}

bool RunsAsFormula(std::string_view field) {
  return !field.empty() && std::string_view("=+-@\t\r").find(field[0]) != std::string_view::npos;
}

void AppendTsvField(std::string_view field, std::string& out) {
  std::size_t at = 0;
  for (std::size_t special; (special = FindAnyOf(field, at, "\\\t\r\n")) != std::string_view::npos;) {
    out.append(field.substr(at, special - at));
    const char c = field[special];
    out += '\\';
    out += c == '\t' ? 't' : c == '\r' ? 'r' : c == '\n' ? 'n' : '\\';
    at = special + 1;
  }
  out.append(field.substr(at));
}

bool UnescapeTsvField(std::string_view field, std::string& out) {
  out.clear();
  std::size_t at = 0;
  for (std::size_t slash; (slash = field.find('\\', at)) != std::string_view::npos;) {
    out.append(field.substr(at, slash - at));
    if (slash + 1 == field.size()) return false;
    const char c = field[slash + 1];
    if (c == 't')
      out += '\t';
    else if (c == 'r')
      out += '\r';
    else if (c == 'n')
      out += '\n';
    else if (c == '\\')
      out += '\\';
    else
      return false;
    at = slash + 2;
  }
  out.append(field.substr(at));
  return true;
}
