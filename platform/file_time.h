#pragma once
// File times as the catalog records them: 100 ns units since 1601-01-01 UTC,
// the form Windows reports and Linux times are turned into.

#include <cstdint>

// Seconds between 1601-01-01 and 1970-01-01.
constexpr std::uint64_t kFileTimeEpochOffset = 11644473600ULL;

// Seconds and nanoseconds since 1970 as a file time (0 for times before 1601).
std::uint64_t UnixToFileTime(std::int64_t seconds, std::uint32_t nanoseconds);
