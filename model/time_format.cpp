#include "model/time_format.h"

#include <cstdio>
#include <ctime>

CTime FileTimeToTime(std::uint64_t fileTime) {
  // Zero is what a record without a time holds; it stays at time 0, as
  // items without a time have always shown.
  if (fileTime == 0) return 0;
  // Every file time fits: 2^64 * 100 ns is under 2^41 seconds, and local
  // time with a 64-bit time_t reaches far beyond that.
  return std::int64_t(fileTime / 10000000ULL) - std::int64_t(kFileTimeEpochOffset);
}

std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
  year -= month <= 2;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  return era * 146097 + yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear - 719468;
}

std::string FormatIsoTime(CTime time) {
  if (time == kInvalidTime) return {};
  const time_t t = time_t(time);
  struct tm local {};
  if (localtime_r(&t, &local) == nullptr) return {};
  // The offset is what the local fields read as UTC differ by: strftime's %z
  // is a zone name in some C libraries.
  const std::int64_t asUtc =
      DaysFromCivil(std::int64_t(local.tm_year) + 1900, local.tm_mon + 1, local.tm_mday) * 86400 +
      local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
  const std::int64_t offset = asUtc - time;
  const std::int64_t minutes = (offset < 0 ? -offset : offset) / 60;
  char buffer[80];
  const int n = std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", local.tm_year + 1900,
                              local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                              offset < 0 ? '-' : '+', int(minutes / 60), int(minutes % 60));
  return std::string(buffer, std::size_t(n));
}

std::string FormatTime(CTime time) {
  if (time == kInvalidTime) return {};
  const time_t t = time_t(time);
  struct tm local {};
  if (localtime_r(&t, &local) == nullptr) return {};
  // Not strftime: some C libraries refuse the years before 1900 that file
  // times reach.
  char buffer[64];
  const int n = std::snprintf(buffer, sizeof buffer, "%d/%02d/%02d %02d:%02d:%02d", local.tm_year + 1900,
                              local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  return std::string(buffer, std::size_t(n));
}
