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
#include <unistd.h>

#ifndef O_CLOEXEC
#define O_CLOEXEC _O_NOINHERIT
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

// The full path; unlike POSIX it does not require the path to exist.
inline char* realpath(const char* path, char* resolved) { return _fullpath(resolved, path, _MAX_PATH); }

// Windows links are reparse points that the runtime's stat reports as
// themselves; there is nothing different to ask.
inline int lstat(const char* path, struct stat* out) { return stat(path, out); }
#endif
