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

std::uint64_t UnixToFileTime(std::int64_t seconds, std::uint32_t nanoseconds) {
  const std::int64_t since1601 = seconds + std::int64_t(kFileTimeEpochOffset);
  if (since1601 < 0) return 0;
  return std::uint64_t(since1601) * 10000000ULL + nanoseconds / 100;
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
