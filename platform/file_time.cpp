#include "platform/file_time.h"

std::uint64_t UnixToFileTime(std::int64_t seconds, std::uint32_t nanoseconds) {
  const std::int64_t since1601 = seconds + std::int64_t(kFileTimeEpochOffset);
  if (since1601 < 0) return 0;
  return std::uint64_t(since1601) * 10000000ULL + nanoseconds / 100;
}
