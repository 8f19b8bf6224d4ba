#include "model/time_format.h"

#include <climits>
#include <ctime>

CTime FileTimeToTime(std::uint64_t fileTime) {
  // Times past the local-time range of the platform cannot be converted.
  if (fileTime >= 0x8000000000000000ULL) return 0;
  const std::int64_t seconds = std::int64_t(fileTime / 10000000ULL) - std::int64_t(kFileTimeEpochOffset);
  const time_t t = time_t(seconds);
  struct tm local {};
  if (localtime_r(&t, &local) == nullptr) return 0;
  if (local.tm_year < 0) return 0;  // before 1900
  if (seconds < INT32_MIN || seconds > INT32_MAX) return kInvalidTime;
  return seconds;
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
  char buffer[64];
  const std::size_t n = strftime(buffer, sizeof buffer, "%Y/%m/%d %H:%M:%S", &local);
  return std::string(buffer, n);
}
