#pragma once
// Long work (a scan, reading or writing a set, a report) runs on a worker
// thread while the window stays painted; a modal progress dialog keeps input
// away from the main window. Work done quickly shows no dialog at all.

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "dialogs/progress_dlg.h"

// How long work may take before its progress dialog shows; negative: the
// dialog always shows (tests).
extern int g_nProgressDelayMilliseconds;

// Runs work on a worker thread and waits for it. When it is not done within
// the delay, the dialog makeDialog gives (told by its argument whether the
// work is done) is shown modal; a dialog that ends other than with wxID_OK
// sets cancel, and the work is then still waited for: work polls cancel and
// comes back soon. An exception thrown by work is thrown again here.
void RunInBackground(const std::function<void()>& work,
                     const std::function<std::unique_ptr<CProgressDlg>(std::function<bool()> done)>& makeDialog,
                     std::atomic<bool>& cancel);

class CScanProgress;
struct CWorkProgress;
class wxWindow;

// RunInBackground for a scan (work calls ScanCatalog with progress and
// cancel in its options): the dialog shows the folders and files so far,
// their size, the folder being read and the time taken, with キャンセル;
// while the files' contents are read for their hashes, also the files and
// bytes read of those to read and the rate.
void RunScanInBackground(wxWindow* parent, const std::string& caption, CScanProgress& progress,
                         std::atomic<bool>& cancel, const std::function<void()>& work);

// RunInBackground for work on a whole set (reading, writing, a report): its
// dialog shows message and a gauge of progress. Work can be cancelled when
// cancel is given (it is then progress.pCancel's flag); otherwise the dialog
// has no キャンセル and stays until the work is done.
void RunWithWorkProgress(wxWindow* parent, const std::string& caption, const std::string& message,
                         CWorkProgress& progress, const std::function<void()>& work,
                         std::atomic<bool>* cancel = nullptr);
