// The harness itself: wx runs, compiled layouts load, message boxes are
// answered by expectations.

#include <wx/dialog.h>
#include <wx/xrc/xmlres.h>

#include "dialogs/dialog_font.h"
#include "dialogs/message_box.h"
#include "dialogs/xrc_layout.h"
#include "tests/gui/gui_test_util.h"

TEST(GuiHarness, LayoutLoadsInTheDialogFontAndMessageBoxesAreAnswered) {
  wxDialog dialog(nullptr, wxID_ANY, "t");
  ApplyDialogFont(&dialog);
  EXPECT_TRUE(dialog.GetFont().IsSameAs(GetDialogFont()));
  ASSERT_TRUE(LoadDialogLayout(&dialog, "SearchResultLayout"));
  EXPECT_TRUE(dialog.FindWindow(XRCID("ID_RESULT_LIST")));

  int answer = 0;
  wxTEST_DIALOG(answer = AppMessageBox("テスト", wxOK | wxCANCEL), CExpectMessageBox("テスト", wxID_CANCEL));
  EXPECT_EQ(answer, wxCANCEL);
}
