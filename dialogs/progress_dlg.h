#pragma once
// The modal dialog shown while work runs on another thread: a timer asks a
// few times a second whether the work is done (the dialog then ends with
// wxID_OK) and has the controls refreshed; "キャンセル", Escape or the close
// box end it with wxID_CANCEL when the work can be cancelled.

#include <chrono>
#include <functional>
#include <string>

#include <wx/dialog.h>
#include <wx/timer.h>

class CProgressDlg : public wxDialog {
 public:
  // layoutName: "ScanProgressLayout" or "WorkProgressLayout".
  CProgressDlg(wxWindow* parent, const std::string& caption, const char* layoutName, std::function<bool()> done,
               std::function<void(CProgressDlg&)> refresh, bool cancellable = true);
  ~CProgressDlg() override;

  // For refresh: the text of the static text name, and the gauge in 1/1000.
  void SetText(const char* name, const std::string& text);
  std::string GetText(const char* name) const;
  void SetGauge(int permille);
  // Shows the control name, hidden by its layout until needed.
  void ShowRow(const char* name);
  std::uint64_t ElapsedSeconds() const;

  // One tick of the timer: ends the dialog when the work is done, else
  // refreshes the controls.
  void Tick();

 private:
  void OnTimer(wxTimerEvent& event);
  void OnClose(wxCloseEvent& event);

  std::function<bool()> m_done;
  std::function<void(CProgressDlg&)> m_refresh;
  bool m_bCancellable;
  wxTimer m_timer;
  std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};
