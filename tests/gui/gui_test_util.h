#pragma once
// Helpers for driving real dialogs in the GUI tests.
//
// Dialogs are shown modeless (Show()), filled through their controls and
// closed by pressing their buttons with events; a modal dialog they open in
// turn (a message box) is answered with wxTEST_DIALOG, for example
//   wxTEST_DIALOG(Click(dlg, wxID_OK), CExpectMessageBox("text"));
// A modal dialog no wxTEST_DIALOG expects fails the test and is cancelled.
// A modeless dialog gets no return code from EndDialog, so the dialogs end
// themselves with SetReturnCode(code) before EndDialog(code); the tests then
// read GetReturnCode() and IsShown().

#include <gtest/gtest.h>

#include <wx/msgdlg.h>
#include <wx/testing.h>
#include <wx/window.h>

#include <dlfcn.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

// Sends a button press to the button with id inside window (or window itself).
void Click(wxWindow* window, int id);
// Sends a button press to button.
void Click(wxWindow* button);
// Handles pending events (size changes, CallAfter) until there are none.
void FlushEvents();
// UTF-8 of a wx text.
std::string Utf8(const wxString& text);

// While one exists, a modal dialog no wxTEST_DIALOG expects is really shown:
// the test answers it itself (from a timer) to look at what GTK shows.
class CShowRealDialogs {
 public:
  CShowRealDialogs() { ++s_nCount; }
  ~CShowRealDialogs() { --s_nCount; }
  CShowRealDialogs(const CShowRealDialogs&) = delete;
  CShowRealDialogs& operator=(const CShowRealDialogs&) = delete;
  static bool Active() { return s_nCount > 0; }

 private:
  static inline int s_nCount = 0;
};

// A message box with the program's caption and the given UTF-8 text (its
// long lines broken as the box shows them), answered with answer.
class CExpectMessageBox : public wxExpectModalBase<wxMessageDialog, CExpectMessageBox> {
 public:
  explicit CExpectMessageBox(std::string text, int answer = wxID_OK) : m_strText(std::move(text)), m_nAnswer(answer) {}

 protected:
  int OnInvoked(wxMessageDialog* dlg) const override;
  wxString GetDefaultDescription() const override;

 private:
  std::string m_strText;
  int m_nAnswer;
};

// A GTK function, reached through the symbols wx brought in (the build has
// no GTK headers).
template <class F>
F Gtk(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
}

// The shown labels, buttons, check boxes and radio buttons inside window
// that need more room than they were given, each as its text and both sizes:
// labels as GTK wraps them (a text cut on purpose, "…", only in its height),
// buttons their text inside their padding, the others their best size.
std::vector<std::string> ClippedControls(wxWindow* window);

// Sets TZ for the test's lifetime and restores the old value.
class CScopedTimeZone {
 public:
  explicit CScopedTimeZone(const char* tz);
  ~CScopedTimeZone();
  CScopedTimeZone(const CScopedTimeZone&) = delete;
  CScopedTimeZone& operator=(const CScopedTimeZone&) = delete;

 private:
  std::string m_strOld;
  bool m_bHadOld = false;
};
