#pragma once
// Given to the test programs built for Windows: the POSIX calls the tests
// use to set up files and the environment, over the C runtime's own.

#ifdef __cplusplus
#include <direct.h>
#include <stdlib.h>
#include <string.h>
#include <sys/utime.h>
#include <time.h>

#include <random>
#include <string>

inline int setenv(const char* name, const char* value, int overwrite) {
  if (!overwrite && getenv(name) != nullptr) return 0;
  return _putenv_s(name, value);
}
inline int unsetenv(const char* name) { return _putenv_s(name, ""); }

// Folders have no mode bits here.
inline int mkdir(const char* path, int) { return _mkdir(path); }

// Whole seconds are all the runtime sets; the tests use no more.
inline int futimens(int fd, const struct timespec times[2]) {
  struct __utimbuf64 t = {times[0].tv_sec, times[1].tv_sec};
  return _futime64(fd, &t);
}

inline char* mkdtemp(char* pattern) {
  const std::size_t length = strlen(pattern);
  if (length < 6) return nullptr;
  std::random_device device;
  for (int attempt = 0; attempt < 100; ++attempt) {
    for (std::size_t i = length - 6; i < length; ++i)
      pattern[i] = "abcdefghijklmnopqrstuvwxyz0123456789"[device() % 36];
    if (_mkdir(pattern) == 0) return pattern;
  }
  return nullptr;
}
#endif
