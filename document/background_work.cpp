#include "document/background_work.h"

#include "model/content_hashing.h"
#include "model/scan_progress.h"
#include "model/set_file.h"
#include "model/text_format.h"
#include "model/work_progress.h"
#include "platform/thread_start.h"

#include <chrono>
#include <exception>
#include <optional>
#include <system_error>
#include <thread>

int g_nProgressDelayMilliseconds = 400;

void RunInBackground(const std::function<void()>& work,
                     const std::function<std::unique_ptr<CProgressDlg>(std::function<bool()> done)>& makeDialog,
                     std::atomic<bool>& cancel) {
  std::atomic<bool> finished{false};
  std::exception_ptr failure;
  std::thread worker;
  try {
    worker = StartThread([&] {
      try {
        work();
      } catch (...) {
        failure = std::current_exception();
      }
      finished.store(true);
    });
  } catch (const std::system_error&) {
    // No thread to spare: the work is done here, the window still meanwhile.
    work();
    return;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(g_nProgressDelayMilliseconds);
  while (!finished.load() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  if (g_nProgressDelayMilliseconds < 0 || !finished.load()) {
    std::unique_ptr<CProgressDlg> dialog = makeDialog([&finished] { return finished.load(); });
    if (dialog->ShowModal() != wxID_OK) cancel.store(true);
  }
  worker.join();
  if (failure) std::rethrow_exception(failure);
}

void RunWithWorkProgress(wxWindow* parent, const std::string& caption, const std::string& message,
                         CWorkProgress& progress, const std::function<void()>& work, std::atomic<bool>* cancel) {
  std::atomic<bool> unused{false};
  RunInBackground(
      work,
      [&](std::function<bool()> done) {
        return std::make_unique<CProgressDlg>(
            parent, caption, "WorkProgressLayout", std::move(done),
            [&progress, message](CProgressDlg& dialog) {
              dialog.SetText("ID_MESSAGE", progress.bWaiting.load() ? kWaitingForOtherProgramMessage : message);
              dialog.SetGauge(progress.Permille());
            },
            cancel != nullptr);
      },
      cancel != nullptr ? *cancel : unused);
}

void RunScanInBackground(wxWindow* parent, const std::string& caption, CScanProgress& progress,
                         std::atomic<bool>& cancel, const std::function<void()>& work) {
  // The rate counts from the first refresh that saw the hashing.
  std::optional<std::chrono::steady_clock::time_point> hashStart;
  const auto refresh = [&progress, &hashStart](CProgressDlg& dialog) {
    const CScanCounts counts = progress.Counts();
    dialog.SetText("ID_FOLDERS", FormatCount(counts.nFolders));
    dialog.SetText("ID_FILES", FormatCount(counts.nFiles));
    dialog.SetText("ID_SIZE", FormatSize(counts.nBytes, false));
    dialog.SetText("ID_FOLDER", progress.CurrentFolder());
    if (!progress.Hashing()) return;
    const auto now = std::chrono::steady_clock::now();
    if (!hashStart) hashStart = now;
    dialog.ShowRow("ID_HASH_LABEL");
    dialog.ShowRow("ID_HASH");
    dialog.SetText("ID_HASH",
                   HashCountsText(progress.HashCounts(), std::chrono::duration<double>(now - *hashStart).count()));
  };
  RunInBackground(
      work,
      [&](std::function<bool()> done) {
        return std::make_unique<CProgressDlg>(parent, caption, "ScanProgressLayout", std::move(done), refresh);
      },
      cancel);
}
