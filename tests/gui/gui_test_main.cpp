// Runs the GUI tests inside a started wxApp. Listing the tests (ctest's
// discovery) needs no display, so wx is only started to run them.

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/modalhook.h>

#include <cstdio>

#include "app/framework_texts.h"
#include "tests/gui/gui_test_util.h"
#include "ui/file_icon_cache.h"

namespace {

class CTestApp : public wxApp {
 public:
  bool OnInit() override { return true; }
  // The tests run outside the main loop; nothing to initialise from argv.
  bool OnCmdLineParsed(wxCmdLineParser&) override { return true; }
};

// wx assertions (including wxTEST_DIALOG's unmet expectations) fail the
// running test instead of popping up a dialog or aborting.
void ReportWxAssert(const wxString& file, int line, const wxString& func, const wxString& cond, const wxString& msg) {
  ADD_FAILURE_AT(file.utf8_str(), line) << "wx assertion in " << func.utf8_str() << ": " << cond.utf8_str() << " "
                                        << msg.utf8_str();
}

// A modal dialog that no wxTEST_DIALOG expects would wait for a user who never
// comes: fail the test and cancel the dialog instead.
class CUnexpectedModalGuard : public wxModalDialogHook {
 protected:
  int Enter(wxDialog* dialog) override {
    if (CShowRealDialogs::Active()) return wxID_NONE;
    ADD_FAILURE() << "unexpected modal dialog \"" << dialog->GetTitle().utf8_str() << "\"";
    return wxID_CANCEL;
  }
  void Exit(wxDialog*) override {}
};

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();

  wxApp::SetInstance(new CTestApp);
  if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
    std::fprintf(stderr, "gui_tests: cannot start wxWidgets (is there an X display? run under xvfb-run)\n");
    return 2;
  }
  wxSetAssertHandler(ReportWxAssert);
  // As the program does: the framework's texts are Japanese whatever the
  // locale the tests run in.
  UseJapaneseFrameworkTexts();
  SetIconIndexSource([]() -> CIconIndexSource& { return CFileIconCache::Get(); });
  CUnexpectedModalGuard guard;
  guard.Register();

  int result = 0;
  {
    // An active loop lets the tests dispatch pending events (FlushEvents).
    wxGUIEventLoop loop;
    wxEventLoopActivator activator(&loop);
    result = RUN_ALL_TESTS();
  }

  guard.Unregister();
  SetIconIndexSource(nullptr);
  CFileIconCache::Destroy();
  wxTheApp->OnExit();
  wxEntryCleanup();
  return result;
}
