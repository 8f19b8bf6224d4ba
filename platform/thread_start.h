#pragma once
// Starting a thread fails when the process is at its limit of threads or of
// memory, and std::thread then throws std::system_error. The programs start
// their threads here, so that tests can make that happen; each caller goes
// on with fewer threads or does the work itself.

#include <thread>
#include <utility>

// Throws std::system_error, as std::thread does, once the starts a test
// allowed are used up.
void CheckThreadStart();

template <class F>
std::thread StartThread(F&& work) {
  CheckThreadStart();
  return std::thread(std::forward<F>(work));
}

// Tests: how many thread starts succeed from now on; negative: all of them,
// as without the call.
void AllowThreadStartsForTest(int count);
