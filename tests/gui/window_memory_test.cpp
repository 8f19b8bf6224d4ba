// What the window shows when it closes is kept for the next run, whichever
// way it closes: in this process through the frame, and with the real
// program under a window manager.

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <functional>
#include <wx/app.h>
#include <wx/splitter.h>

#include "document/explorer_ap_doc.h"
#include "document/settings_file.h"
#include "document/window_layout.h"
#include "tests/gui/explorer_test_util.h"
#include "tests/gui/gui_test_sets.h"
#include "ui/explorer_ap_view.h"
#include "ui/frame_ids.h"
#include "ui/left_view.h"
#include "ui/main_frame.h"

namespace {

CWindowLayout KeptLayout() { return LoadWindowLayout(*OpenSettingsFile()); }

// The first line a command prints.
std::string Output(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char line[256];
    if (fgets(line, sizeof line, pipe)) out = line;
    pclose(pipe);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
  return out;
}

// The ways a user ends the program under a window manager.
class WindowManagerClose : public testing::TestWithParam<const char*> {};

}  // namespace

// scripts/gui_wm_test.sh runs these on a display of their own with openbox;
// elsewhere there is no window manager to ask.
TEST_P(WindowManagerClose, ThePlaceTheSplitterTheStyleAndTheColumnsComeBack) {
  if (!std::getenv("QUARRIX_WINDOW_MANAGER")) GTEST_SKIP() << "needs a window manager";
  CTestHome home;
  CWindowLayout layout;
  layout.m_rect = wxRect(300, 200, 700, 500);
  layout.m_nSplitter = 348;
  layout.m_nStyle = wxLC_LIST;
  layout.m_vecColumnWidths = {150, 60, 100, 120, 180};
  SaveWindowLayout(*OpenSettingsFile(), layout);
  const std::string route = GetParam();
  for (int run = 0; run < 2; ++run) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      execl(QUARRIX_PROGRAM_PATH, QUARRIX_PROGRAM_PATH, static_cast<char*>(nullptr));
      _exit(127);
    }
    const std::string window = Output("xdotool search --sync --onlyvisible --pid " + std::to_string(pid));
    ASSERT_FALSE(window.empty());
    Output("xdotool windowactivate --sync " + window);
    // A user closes a window that has settled; on a loaded machine the
    // window manager's placing and the program's answer to it take a while.
    Output("sleep 2");
    // The window manager's close, as its close box; asked again should a
    // loaded manager have let the key pass before the window had the focus.
    int status = 0;
    pid_t ended = 0;
    for (int tries = 0; ended == 0 && tries < 20; ++tries) {
      if (tries != 0) Output("xdotool windowactivate --sync " + window);
      Output("xdotool key " + route);
      for (int wait = 0; wait < 30 && (ended = waitpid(pid, &status, WNOHANG)) == 0; ++wait) Output("sleep 0.1");
    }
    if (ended == 0) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
    }
    ASSERT_EQ(ended, pid) << route << " run " << run << ": never closed";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << route << " " << status;
    const CWindowLayout kept = KeptLayout();
    EXPECT_EQ(kept.m_rect, layout.m_rect) << route << " run " << run;
    EXPECT_EQ(kept.m_nSplitter, layout.m_nSplitter) << route << " run " << run;
    EXPECT_EQ(kept.m_nStyle, layout.m_nStyle) << route << " run " << run;
    EXPECT_EQ(kept.m_vecColumnWidths, layout.m_vecColumnWidths) << route << " run " << run;
  }
}

// The menu takes the same way as in this process (below).
INSTANTIATE_TEST_SUITE_P(Routes, WindowManagerClose, testing::Values("alt+F4"));

TEST_F(CExplorerTest, TheLayoutShownAtCloseIsKeptFromTheMenuTheCloseBoxAndTheEndOfTheSession) {
  std::unique_ptr<CSettingsStore> store = OpenSettingsFile();
  CSettingsStore* const old = SetSettingsStore(store.get());
  UseSet(MakeExplorerTestSet());
  auto* splitter = wxDynamicCast(Tree().GetTreeCtrl()->GetParent(), wxSplitterWindow);
  ASSERT_TRUE(splitter);
  Doc().Modify(true);  // cancelling the save prompt keeps the window
  const std::string prompt = "無題 への変更を保存しますか?";
  const std::pair<int, std::function<void()>> routes[] = {
      {ID_VIEW_LIST, [&] { Command(wxID_EXIT); }},
      {ID_VIEW_SMALLICON, [&] { Frame().Close(); }},  // the close box and Alt+F4
  };
  int n = 0;
  for (const auto& [style, close] : routes) {
    ++n;
    List().GetListCtrl()->SetColumnWidths({100 + n, 60, 90, 80, 150});
    Command(style);
    splitter->SetSashPosition(230 + n);
    wxTEST_DIALOG(close(), CExpectMessageBox(prompt, wxID_CANCEL));
    store->Flush();
    const CWindowLayout kept = KeptLayout();
    EXPECT_EQ(kept.m_nStyle, style == ID_VIEW_LIST ? wxLC_LIST : wxLC_SMALL_ICON) << n;
    EXPECT_EQ(kept.m_vecColumnWidths, (std::vector<int>{100 + n, 60, 90, 80, 150})) << n;
    EXPECT_EQ(kept.m_nSplitter, 230 + n) << n;
    EXPECT_EQ(kept.m_rect, Frame().GetRect()) << n;
  }
  // The end of the session closes without asking leave to; the document's
  // own prompt still comes.
  Command(ID_VIEW_DETAILS);
  wxTEST_DIALOG(CMainFrame::EndSession(m_pManager.get()), CExpectMessageBox(prompt, wxID_NO));
  EXPECT_EQ(KeptLayout().m_nStyle, wxLC_REPORT);
  EXPECT_TRUE(wxPendingDelete.Member(&Frame()));
  SetSettingsStore(old);
}

// A first run has no layout kept: the frame keeps the size it was made with
// when it is resized, instead of taking an empty one.
TEST_F(CExplorerTest, WithNothingKeptTheFrameKeepsTheSizeItIsGiven) {
  Frame().ApplyWindowLayout(CWindowLayout());
  const wxSize size = Frame().GetSize() + wxSize(20, 10);
  Frame().SetSize(size);
  FlushEvents();
  EXPECT_EQ(Frame().GetSize(), size);
}
