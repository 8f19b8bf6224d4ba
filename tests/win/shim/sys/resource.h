#pragma once
// Windows has no resource limits; the tests that need one are left out of
// the Windows run (scripts/windows/test.sh), these only let them compile.

#define RLIMIT_FSIZE 1
#define RLIMIT_NOFILE 7
#define RLIM_INFINITY (~0ULL)
#define SIGXFSZ 25
typedef unsigned long long rlim_t;
struct rlimit {
  rlim_t rlim_cur;
  rlim_t rlim_max;
};
inline int getrlimit(int, struct rlimit*) { return -1; }
inline int setrlimit(int, const struct rlimit*) { return -1; }
