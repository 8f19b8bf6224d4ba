#pragma once
// The clocks the benchmarks report: wall time and, since on a busy machine
// it says more, the processor time of the process.

#include <time.h>

#include <chrono>

using CClock = std::chrono::steady_clock;

inline double Seconds(CClock::time_point start) { return std::chrono::duration<double>(CClock::now() - start).count(); }

inline double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}
