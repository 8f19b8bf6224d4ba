#pragma once
// A modal dialog of type T answered by a function: it gets the dialog (not
// yet shown) and returns the code the dialog ends with. For example
//   wxTEST_DIALOG(RunCommand(),
//                 CExpectDialog<CLabelDlg>([](CLabelDlg* dlg) { ...; return wxID_OK; }));

#include <functional>
#include <string>

#include <wx/filedlg.h>
#include <wx/testing.h>

#include "tests/gui/gui_test_util.h"

template <typename T>
class CExpectDialog : public wxExpectModalBase<T, CExpectDialog<T>> {
 public:
  explicit CExpectDialog(std::function<int(T*)> answer) : m_answer(std::move(answer)) {}

 protected:
  int OnInvoked(T* dlg) const override { return m_answer(dlg); }

 private:
  std::function<int(T*)> m_answer;
};

// A file dialog answered with path (cancelled when path is empty); check
// looks at it first.
class CAnswerFileDialog : public wxExpectModalBase<wxFileDialog, CAnswerFileDialog> {
 public:
  explicit CAnswerFileDialog(std::string path, std::function<void(wxFileDialog*)> check = {})
      : m_strPath(std::move(path)), m_check(std::move(check)) {}

 protected:
  int OnInvoked(wxFileDialog* dlg) const override {
    if (m_check) m_check(dlg);
    if (m_strPath.empty()) return wxID_CANCEL;
    dlg->SetPath(wxString::FromUTF8(m_strPath));
    return wxID_OK;
  }

 private:
  std::string m_strPath;
  std::function<void(wxFileDialog*)> m_check;
};

// Shows dlg modeless, lets act(dlg) fill it, presses button and gives the
// code the dialog ended with.
template <typename T, typename Act>
int AnswerDialog(T* dlg, int button, Act act) {
  dlg->Show();
  act(dlg);
  Click(dlg, button);
  return dlg->GetReturnCode();
}

template <typename T>
int AnswerDialog(T* dlg, int button) {
  return AnswerDialog(dlg, button, [](T*) {});
}
