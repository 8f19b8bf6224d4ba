#include "document/background_work.h"

#include <chrono>
#include <exception>
#include <thread>

int g_nProgressDelayMilliseconds = 400;

void RunInBackground(const std::function<void()>& work,
                     const std::function<std::unique_ptr<CProgressDlg>(std::function<bool()> done)>& makeDialog,
                     std::atomic<bool>& cancel) {
  std::atomic<bool> finished{false};
  std::exception_ptr failure;
  std::thread worker([&] {
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
    finished.store(true);
  });
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(g_nProgressDelayMilliseconds);
  while (!finished.load() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  if (!finished.load()) {
    std::unique_ptr<CProgressDlg> dialog = makeDialog([&finished] { return finished.load(); });
    if (dialog->ShowModal() != wxID_OK) cancel.store(true);
  }
  worker.join();
  if (failure) std::rethrow_exception(failure);
}
