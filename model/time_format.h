#pragma once
// Item times and their text forms.

#include <cstdint>
#include <string>

// Seconds since 1970-01-01 UTC; kInvalidTime when a date has no 32-bit form.
using CTime = std::int64_t;
constexpr CTime kInvalidTime = INT64_MIN;

// Seconds between 1601-01-01 and 1970-01-01.
constexpr std::uint64_t kFileTimeEpochOffset = 11644473600ULL;

// A UTC file time (100 ns since 1601) as seconds since 1970: time 0 when the
// local calendar year is before 1900 or the conversion fails, kInvalidTime when
// a signed 32-bit count of seconds cannot hold it.
CTime FileTimeToTime(std::uint64_t fileTime);

// Seconds and nanoseconds since 1970 as a file time (0 for times before 1601).
std::uint64_t UnixToFileTime(std::int64_t seconds, std::uint32_t nanoseconds);

// "%Y/%m/%d %H:%M:%S" in local time; empty when the time has no local form.
std::string FormatTime(CTime time);
