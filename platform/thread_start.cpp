#include "platform/thread_start.h"

#include <atomic>
#include <system_error>

namespace {

std::atomic<int> g_nStartsLeft{-1};

}  // namespace

void CheckThreadStart() {
  int left = g_nStartsLeft.load();
  while (left >= 0) {
    if (left == 0)
      throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again), "thread not started");
    if (g_nStartsLeft.compare_exchange_weak(left, left - 1)) return;
  }
}

void AllowThreadStartsForTest(int count) { g_nStartsLeft.store(count < 0 ? -1 : count); }
