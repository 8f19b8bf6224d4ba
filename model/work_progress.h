#pragma once
// How far long work on a whole set has come (reading, writing, a report),
// for a progress display on another thread, and how it is asked to stop.

#include <atomic>
#include <algorithm>
#include <cstdint>

struct CWorkProgress {
  std::atomic<std::uint64_t> nDone{0};
  std::atomic<std::uint64_t> nTotal{0};
  // Polled by work that can stop part way; null: it runs to the end.
  const std::atomic<bool>* pCancel = nullptr;
  // Held up by another program that is changing the same file.
  std::atomic<bool> bWaiting{false};

  bool Cancelled() const { return pCancel != nullptr && pCancel->load(std::memory_order_relaxed); }
  // 0 to 1000.
  int Permille() const {
    const std::uint64_t total = nTotal.load(std::memory_order_relaxed);
    const std::uint64_t done = nDone.load(std::memory_order_relaxed);
    return total == 0 ? 0 : int(std::min<std::uint64_t>(done, total) * 1000 / total);
  }
};
