#pragma once
// Item times and their text forms.

#include <cstdint>
#include <string>

#include "platform/file_time.h"

// Seconds since 1970-01-01 UTC (negative before); kInvalidTime for no time.
using CTime = std::int64_t;
constexpr CTime kInvalidTime = INT64_MIN;

// A UTC file time (100 ns since 1601) as seconds since 1970, over the whole
// range a file time holds (1601 to beyond the year 30000); the file time 0
// (no time recorded) gives time 0.
CTime FileTimeToTime(std::uint64_t fileTime);

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t year, int month, int day);

// "%Y/%m/%d %H:%M:%S" in local time; empty when the time has no local form.
std::string FormatTime(CTime time);
// The same with its offset from UTC: "2000-01-10T20:00:00+09:00".
std::string FormatIsoTime(CTime time);
