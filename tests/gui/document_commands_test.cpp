// The document's commands driven as the views call them, with every dialog
// and message answered: which hints go out, in which order, and when the set
// counts as modified.

#include <wx/clipbrd.h>

#include <algorithm>
#include <filesystem>

#include "document/catalog_drop_target.h"
#include "document/command_ids.h"
#include "document/doc_manager.h"
#include "document/explorer_ap_doc.h"
#include "document/hints.h"
#include "tests/gui/doc_test_util.h"

namespace {

const char kAddRefused[] = "カタログを追加できませんでした\n既に存在する名前を指定していないか確かめてください";
const char kConfirmDrop[] = "選択されたファイルからカタログを作成しますか？";

class DocumentCommands : public CDocTest {
 protected:
  DocumentCommands() {
    std::filesystem::create_directories(m_home.File("disk/sub"));
    WriteTextFile(m_home.File("disk/a.txt"), "aaaa");
    WriteTextFile(m_home.File("disk/sub/b.txt"), "bb");
    WriteTextFile(m_home.File("loose1.txt"), "1");
    WriteTextFile(m_home.File("loose2.txt"), "22");
    TakeHints();  // the new set's initial update
  }

  std::string Disk() const { return m_home.File("disk"); }

  // Add catalog through the picker and the label dialog.
  int AddAs(const std::string& label) {
    int added = -1;
    wxTEST_DIALOG(added = Doc().AddCatalog(), CExpectDirDialog(Disk()), CExpectLabelDlg(label));
    return added;
  }

  std::vector<std::string> Names(const std::string& path) {
    CItemSummaryList items;
    Doc().GetRoot()->ListChildren(path, items, false);
    std::vector<std::string> names;
    for (const auto& item : items) names.push_back(item->m_strName);
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string NoteOf(const std::string& path) {
    std::string note = "<none>";
    Doc().GetNote(path, note);
    return note;
  }
};

}  // namespace

TEST_F(DocumentCommands, AddCatalogRebuildsMarksModifiedAndRefusesOnlyAnExactDuplicate) {
  EXPECT_EQ(AddAs("Disc"), 1);
  EXPECT_EQ(TakeHints(), std::vector<int>{HINT_REBUILD});
  EXPECT_TRUE(Doc().IsModified());
  EXPECT_EQ(Names("Disc"), (std::vector<std::string>{"a.txt", "sub"}));
  EXPECT_EQ(Names("Disc\\sub"), std::vector<std::string>{"b.txt"});

  // The same label again: refused with the message, nothing sent.
  Doc().Modify(false);
  int added = -1;
  wxTEST_DIALOG(added = Doc().AddCatalog(), CExpectDirDialog(Disk()), CExpectLabelDlg("Disc"),
                CExpectMessageBox(kAddRefused));
  EXPECT_EQ(added, 0);
  EXPECT_TRUE(TakeHints().empty());
  EXPECT_FALSE(Doc().IsModified());
  EXPECT_EQ(Doc().GetRoot()->GetCatalogCount(), 1);

  // Labels are compared exactly: other case and a trailing blank are new.
  EXPECT_EQ(AddAs("disc"), 1);
  EXPECT_EQ(AddAs("Disc "), 1);
  EXPECT_EQ(Names(""), (std::vector<std::string>{"Disc", "Disc ", "disc"}));
}

TEST_F(DocumentCommands, CancellingThePickerOrTheLabelChangesNothing) {
  int added = -1;
  wxTEST_DIALOG(added = Doc().AddCatalog(), CExpectDirDialog(""));
  EXPECT_EQ(added, 0);
  wxTEST_DIALOG(added = Doc().AddCatalog(), CExpectDirDialog(Disk()), CExpectLabelDlg(""));
  EXPECT_EQ(added, 0);
  EXPECT_EQ(Doc().GetRoot()->GetCatalogCount(), 0);
  EXPECT_TRUE(TakeHints().empty());
  EXPECT_FALSE(Doc().IsModified());
}

TEST_F(DocumentCommands, PickerRefusesWhatIsNotAFolderAndAsksAgain) {
  int added = -1;
  wxTEST_DIALOG(added = Doc().AddCatalog(), CExpectDirDialog(m_home.File("loose1.txt")),
                CExpectMessageBox("正しい場所を指定してください"), CExpectDirDialog(m_home.File("missing")),
                CExpectMessageBox("正しい場所を指定してください"), CExpectDirDialog(Disk()), CExpectLabelDlg("Disc"));
  EXPECT_EQ(added, 1);
  EXPECT_EQ(Names("Disc"), (std::vector<std::string>{"a.txt", "sub"}));
}

TEST_F(DocumentCommands, DroppingOneFolderCataloguesItsContentsAndTwoFilesMakeOneCatalog) {
  int added = -1;
  wxTEST_DIALOG(added = Doc().AddCatalogFromFiles({Disk()}), CExpectMessageBox(kConfirmDrop),
                CExpectLabelDlg("Dropped"));
  EXPECT_EQ(added, 1);
  EXPECT_EQ(Names("Dropped"), (std::vector<std::string>{"a.txt", "sub"}));
  EXPECT_EQ(TakeHints(), std::vector<int>{HINT_REBUILD});
  EXPECT_TRUE(Doc().IsModified());

  // Through the drop target, as a view receives a drop: the command runs
  // once the drop is over.
  CCatalogDropTarget target(&Doc());
  wxArrayString files;
  files.Add(wxString::FromUTF8(m_home.File("loose1.txt")));
  files.Add(wxString::FromUTF8(m_home.File("loose2.txt")));
  EXPECT_TRUE(target.OnDropFiles(0, 0, files));
  wxTEST_DIALOG(FlushEvents(), CExpectMessageBox(kConfirmDrop), CExpectLabelDlg("Two"));
  EXPECT_EQ(Names("Two"), (std::vector<std::string>{"loose1.txt", "loose2.txt"}));
  EXPECT_EQ(TakeHints(), std::vector<int>{HINT_REBUILD});

  // A path that vanished is reported once, after the rest was catalogued.
  wxTEST_DIALOG(added = Doc().AddCatalogFromFiles({m_home.File("loose1.txt"), m_home.File("gone.txt")}),
                CExpectMessageBox(kConfirmDrop), CExpectLabelDlg("Partly"),
                CExpectMessageBox("カタログ化できなかったファイルがあります"));
  EXPECT_EQ(added, 1);
  EXPECT_EQ(Names("Partly"), std::vector<std::string>{"loose1.txt"});
}

TEST_F(DocumentCommands, DropCancelledOrRefusedLeavesSetAndFlag) {
  int added = -1;
  wxTEST_DIALOG(added = Doc().AddCatalogFromFiles({Disk()}), CExpectMessageBox(kConfirmDrop, wxID_CANCEL));
  EXPECT_EQ(added, 0);
  wxTEST_DIALOG(added = Doc().AddCatalogFromFiles({Disk()}), CExpectMessageBox(kConfirmDrop), CExpectLabelDlg(""));
  EXPECT_EQ(added, 0);
  EXPECT_EQ(Doc().GetRoot()->GetCatalogCount(), 0);
  EXPECT_FALSE(Doc().IsModified());

  ASSERT_EQ(AddAs("Disc"), 1);
  Doc().Modify(false);
  TakeHints();
  wxTEST_DIALOG(added = Doc().AddCatalogFromFiles({m_home.File("loose1.txt"), m_home.File("loose2.txt")}),
                CExpectMessageBox(kConfirmDrop), CExpectLabelDlg("Disc"), CExpectMessageBox(kAddRefused));
  EXPECT_EQ(added, 0);
  EXPECT_TRUE(TakeHints().empty());
  EXPECT_FALSE(Doc().IsModified());
}

TEST_F(DocumentCommands, DeleteAsksFirstAndOnlyARemovalMarksTheSet) {
  ASSERT_EQ(AddAs("Disc"), 1);
  Doc().Modify(false);
  TakeHints();
  const char kPrompt[] = "カタログ Disc を削除します\nよろしいですか？";

  int removed = -1;
  wxTEST_DIALOG(removed = Doc().DeleteCatalog("Disc"), CExpectMessageBox(kPrompt, wxID_CANCEL));
  EXPECT_EQ(removed, 0);
  EXPECT_EQ(Doc().GetRoot()->GetCatalogCount(), 1);
  EXPECT_FALSE(Doc().IsModified());

  // Not a catalog: confirmed, refused by the set, nothing changed.
  wxTEST_DIALOG(removed = Doc().DeleteCatalog("Disc\\sub"),
                CExpectMessageBox("カタログ Disc\\sub を削除します\nよろしいですか？"));
  EXPECT_EQ(removed, 0);
  EXPECT_FALSE(Doc().IsModified());
  EXPECT_TRUE(TakeHints().empty());

  wxTEST_DIALOG(removed = Doc().DeleteCatalog("Disc"), CExpectMessageBox(kPrompt));
  EXPECT_NE(removed, 0);
  EXPECT_EQ(Doc().GetRoot()->GetCatalogCount(), 0);
  EXPECT_EQ(TakeHints(), std::vector<int>{HINT_REBUILD});
  EXPECT_TRUE(Doc().IsModified());
}

TEST_F(DocumentCommands, NoteEditsSendOneHintPerItemAndMarkOnlyRealChanges) {
  ASSERT_EQ(AddAs("Disc"), 1);
  Doc().GetRoot()->SetNote("Disc\\a.txt", "kept");
  Doc().Modify(false);
  TakeHints();

  // One note set to the text it already has: the hint goes, the flag stays.
  int changed = -1;
  wxTEST_DIALOG(changed = Doc().EditNote("Disc\\a.txt"), CExpectNoteDlg("kept", "kept"));
  EXPECT_EQ(changed, 0);
  ASSERT_EQ(View().m_vecHints.size(), 1u);
  EXPECT_EQ(View().m_vecHints[0].m_nHint, HINT_NOTE_CHANGED);
  EXPECT_EQ(View().m_vecHints[0].m_strPath, "Disc\\a.txt");
  EXPECT_EQ(View().m_vecHints[0].m_strNote, "kept");
  EXPECT_FALSE(Doc().IsModified());
  TakeHints();

  wxTEST_DIALOG(changed = Doc().EditNote("Disc\\a.txt"), CExpectNoteDlg("kept", "x", true));
  EXPECT_EQ(changed, 0);
  EXPECT_TRUE(TakeHints().empty());

  // Three items, one of which already has the note: three hints in list
  // order, then the flag.
  const std::vector<std::string> three{"Disc\\sub", "Disc\\a.txt", "Disc\\sub\\b.txt"};
  wxTEST_DIALOG(changed = Doc().EditNotes(three), CExpectNoteDlg("", "kept"));
  EXPECT_NE(changed, 0);
  ASSERT_EQ(View().m_vecHints.size(), 3u);
  for (size_t n = 0; n < 3; ++n) {
    EXPECT_EQ(View().m_vecHints[n].m_nHint, HINT_NOTE_CHANGED);
    EXPECT_EQ(View().m_vecHints[n].m_strPath, three[n]);
    EXPECT_EQ(View().m_vecHints[n].m_strNote, "kept");
  }
  EXPECT_TRUE(Doc().IsModified());
  EXPECT_EQ(NoteOf("Disc\\sub\\b.txt"), "kept");
  TakeHints();

  // Nothing would change: no hint at all.
  Doc().Modify(false);
  EXPECT_EQ(Doc().EditNotes(three, std::string("kept")), 0);
  EXPECT_TRUE(TakeHints().empty());
  EXPECT_FALSE(Doc().IsModified());
}

TEST_F(DocumentCommands, PropertiesOfOneItemAndOfSeveralWithTheirCommonNote) {
  ASSERT_EQ(AddAs("Disc"), 1);
  Doc().Modify(false);
  TakeHints();

  wxTEST_DIALOG(Doc().ShowProperties(std::string("Disc\\a.txt")), CExpectPropSheet("", "first"));
  EXPECT_EQ(NoteOf("Disc\\a.txt"), "first");
  EXPECT_EQ(TakeHints(), std::vector<int>{HINT_NOTE_CHANGED});
  EXPECT_TRUE(Doc().IsModified());

  // Two different notes: the sheet shows none; cancelling the question
  // keeps both.
  const std::vector<std::string> two{"Disc\\a.txt", "Disc\\sub"};
  wxTEST_DIALOG(Doc().ShowProperties(two), CExpectPropSheet("", "both"),
                CExpectMessageBox("選択したすべてのファイルのノートを変更してよろしいですか？", wxID_CANCEL));
  EXPECT_EQ(NoteOf("Disc\\a.txt"), "first");
  EXPECT_EQ(NoteOf("Disc\\sub"), "");
  EXPECT_TRUE(TakeHints().empty());

  wxTEST_DIALOG(Doc().ShowProperties(two), CExpectPropSheet("", "both"),
                CExpectMessageBox("選択したすべてのファイルのノートを変更してよろしいですか？"));
  EXPECT_EQ(NoteOf("Disc\\sub"), "both");
  EXPECT_EQ(TakeHints(), (std::vector<int>{HINT_NOTE_CHANGED, HINT_NOTE_CHANGED}));

  // Different notes again: OK with the empty box untouched changes none.
  ASSERT_EQ(Doc().EditNotes({"Disc\\sub"}, std::string("own")), 1);
  TakeHints();
  wxTEST_DIALOG(Doc().ShowProperties(two), CExpectPropSheet("", ""));
  EXPECT_EQ(NoteOf("Disc\\a.txt"), "both");
  EXPECT_EQ(NoteOf("Disc\\sub"), "own");
  EXPECT_TRUE(TakeHints().empty());
  ASSERT_EQ(Doc().EditNotes({"Disc\\sub"}, std::string("both")), 1);
  TakeHints();

  // Now they share it, and the sheet shows it; a cancelled sheet asks nothing.
  wxTEST_DIALOG(Doc().ShowProperties(two), CExpectPropSheet("both", "x", true));
  EXPECT_EQ(NoteOf("Disc\\a.txt"), "both");
  Doc().ShowProperties(std::vector<std::string>{});
  EXPECT_TRUE(TakeHints().empty());
}

TEST_F(DocumentCommands, SearchEndsWithTheChosenItemForTheViews) {
  ASSERT_EQ(AddAs("Disc"), 1);
  Doc().GetRoot()->SetNote("Disc\\sub\\b.txt", "found it");
  Doc().Modify(false);
  TakeHints();

  wxTEST_DIALOG(Doc().SearchFrom("Disc"), CExpectSearchSheet("b.txt"), CExpectResultDlg(1, 0));
  ASSERT_EQ(View().m_vecHints.size(), 1u);
  const CSeenHint& hint = View().m_vecHints[0];
  EXPECT_EQ(hint.m_nHint, HINT_GO_TO_ITEM);
  EXPECT_EQ(hint.m_strPath, "Disc\\sub\\b.txt");
  EXPECT_EQ(hint.m_strName, "b.txt");
  EXPECT_EQ(hint.m_strNote, "found it");
  EXPECT_FALSE(Doc().IsModified());
  TakeHints();

  // Cancelled at either step: no hint.
  wxTEST_DIALOG(Doc().SearchFrom(""), CExpectSearchSheet(""));
  wxTEST_DIALOG(Doc().SearchFrom(""), CExpectSearchSheet(".txt"), CExpectResultDlg(2, -1));
  EXPECT_TRUE(TakeHints().empty());
}

TEST_F(DocumentCommands, SortAndSelectAllCommandsSendTheirHintsAndCheckTheirMenuItems) {
  TakeHints();
  Doc().m_bSortAscending = false;
  wxCommandEvent bySize(wxEVT_MENU, ID_SORT_BY_SIZE);
  EXPECT_TRUE(Doc().ProcessEvent(bySize));
  EXPECT_EQ(Doc().m_nSortColumn, 1);
  EXPECT_FALSE(Doc().m_bSortAscending);

  wxCommandEvent byType(wxEVT_MENU, ID_SORT_BY_TYPE);
  Doc().ProcessEvent(byType);
  EXPECT_EQ(Doc().m_nSortColumn, 2);
  for (int id = ID_SORT_BY_NAME; id <= ID_SORT_BY_NOTE; ++id) {
    wxUpdateUIEvent update(id);
    update.SetEventObject(&Doc());
    EXPECT_TRUE(Doc().ProcessEvent(update));
    EXPECT_TRUE(update.GetEnabled());
    EXPECT_EQ(update.GetChecked(), id == ID_SORT_BY_TYPE) << id;
  }

  wxCommandEvent selectAll(wxEVT_MENU, ID_SELECT_ALL);
  Doc().ProcessEvent(selectAll);
  EXPECT_EQ(TakeHints(), (std::vector<int>{HINT_SORT_CHANGED, HINT_SORT_CHANGED, HINT_SELECT_ALL}));
  EXPECT_FALSE(Doc().IsModified());
}

TEST_F(DocumentCommands, CopiedLocationsArePlainTextOnTheClipboard) {
  Doc().CopyTextToClipboard("Disc\\a.txt\nDisc\\sub");
  ASSERT_TRUE(wxTheClipboard->Open());
  wxTextDataObject data;
  EXPECT_TRUE(wxTheClipboard->GetData(data));
  wxTheClipboard->Close();
  EXPECT_EQ(Utf8(data.GetText()), "Disc\\a.txt\nDisc\\sub");
}
