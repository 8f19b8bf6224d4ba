#pragma once
// Given to every source compiled for Windows: the few POSIX names the core
// uses that MinGW's C runtime lacks. The programs run with UTF-8 as their
// ANSI code page (see quarrix.manifest), so the runtime's narrow file calls
// take the same UTF-8 paths as on Linux; files are binary (binary_mode.cpp).

#ifdef __cplusplus
#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#ifndef O_CLOEXEC
#define O_CLOEXEC _O_NOINHERIT
#endif
// Nothing that the runtime opens waits for a writer or becomes a terminal.
#ifndef O_NONBLOCK
#define O_NONBLOCK 0
#endif
#ifndef O_NOCTTY
#define O_NOCTTY 0
#endif
#ifndef O_DIRECTORY
#define O_DIRECTORY 0
#endif
#ifndef EDQUOT
#define EDQUOT 10069  // never reported here; the number Winsock gives it
#endif
#ifndef AT_FDCWD
#define AT_FDCWD (-100)
#endif

// The runtime's local time covers only 1970 to 3000, file times 1601 to
// 60056. The calendar, weekdays included, repeats every 400 years: times
// outside are moved into the range by whole 400-year steps and back.
inline constexpr long long kQuarrix400Years = 146097LL * 86400;
inline struct tm* QuarrixLocalTime(const time_t* t, struct tm* out) {
  long long value = *t, years = 0;
  const long long low = 86400, high = 32503680000LL - 2 * 86400;
  if (value < low) years = -((low - value + kQuarrix400Years - 1) / kQuarrix400Years) * 400;
  if (value >= high) years = ((value - high) / kQuarrix400Years + 1) * 400;
  const __time64_t moved = value - years / 400 * kQuarrix400Years;
  if (_localtime64_s(out, &moved) != 0) return nullptr;
  out->tm_year += int(years);
  return out;
}
inline time_t QuarrixMakeTime(struct tm* fields) {
  int years = 0;
  while (fields->tm_year + years < 71) years += 400;
  while (fields->tm_year + years > 1000) years -= 400;
  fields->tm_year += years;
  const __time64_t t = _mktime64(fields);
  fields->tm_year -= years;
  if (t == -1) return -1;
  return time_t(t - years / 400 * kQuarrix400Years);
}
#undef localtime_r
#define localtime_r QuarrixLocalTime  // <ctime> would undefine a mktime macro

// The full path; unlike POSIX it does not require the path to exist.
inline char* realpath(const char* path, char* resolved) { return _fullpath(resolved, path, _MAX_PATH); }

// Windows links are reparse points that the runtime's stat reports as
// themselves; there is nothing different to ask.
inline int lstat(const char* path, struct stat* out) { return stat(path, out); }
#endif
