// New, open and save: the set's name, the hints the views get, the save
// question, and what a file that cannot be read or written leaves behind.

#include <wx/filedlg.h>
#include <wx/filehistory.h>

#include <sys/stat.h>

#include <filesystem>

#include "dialogs/progress_dlg.h"
#include "document/background_work.h"
#include "document/doc_manager.h"
#include "document/explorer_ap_doc.h"
#include "document/hints.h"
#include "document/settings_file.h"
#include "model/set_file.h"
#include "tests/gui/doc_test_util.h"
#include "tests/gui/expect_dialog.h"

namespace {

const char kMalformed[] = "予期しないﾌｧｲﾙ形式です。";
const char kOpenFailed[] = "ﾄﾞｷｭﾒﾝﾄを開くことに失敗しました。";

// The save-as dialog, answered with path.
class CExpectSaveDialog : public wxExpectModalBase<wxFileDialog, CExpectSaveDialog> {
 public:
  explicit CExpectSaveDialog(std::string path) : m_strPath(std::move(path)) {}

 protected:
  int OnInvoked(wxFileDialog* dlg) const override {
    EXPECT_TRUE(dlg->HasFlag(wxFD_SAVE));
    if (m_strPath.empty()) return wxID_CANCEL;
    // The chooser gives a name that is not there yet only once it is on
    // screen, as it is for the user.
    dlg->Show();
    dlg->SetPath(wxString::FromUTF8(m_strPath));
    FlushEvents();
    EXPECT_EQ(Utf8(dlg->GetPath()), m_strPath);
    dlg->Hide();
    return wxID_OK;
  }

 private:
  std::string m_strPath;
};

class DocumentFiles : public CDocTest {
 protected:
  // A set file with one catalog "Saved" holding note "on disk".
  std::string WriteSet(const std::string& name) {
    CRootFileInfo set("x");
    std::filesystem::create_directories(m_home.File("src"));
    set.AddCatalog("Saved", m_home.File("src"));
    set.SetNote("Saved", "on disk");
    const std::string path = m_home.File(name);
    EXPECT_EQ(WriteSetFile(path, set), ESetFileError::None);
    return path;
  }

  bool Open(const std::string& path) { return m_pManager->CreateDocument(wxString::FromUTF8(path)) != nullptr; }
};

}  // namespace

TEST_F(DocumentFiles, NewSetIsEmptyUnmodifiedAndNamedAsNew) {
  EXPECT_EQ(Doc().GetSetName(), "新しいカタログセット");
  EXPECT_EQ(Doc().GetRoot()->GetCatalogCount(), 0);
  EXPECT_EQ(Utf8(Doc().GetUserReadableName()), "無題");
  EXPECT_EQ(Utf8(m_pManager->MakeFrameTitle(&Doc())), "無題 - クオリクス");
  EXPECT_FALSE(Doc().IsModified());
  EXPECT_EQ(TakeHints(), std::vector<int>{HINT_INITIAL_UPDATE});
}

TEST_F(DocumentFiles, OpenNamesTheSetResetsSortingAndUpdatesTheViews) {
  const std::string path = WriteSet("work.fcf");
  Doc().m_nSortColumn = 3;
  Doc().m_bSortAscending = false;
  TakeHints();

  ASSERT_TRUE(Open(path));
  EXPECT_EQ(Doc().GetSetName(), "work カタログセット");
  EXPECT_EQ(Doc().m_nSortColumn, 0);
  EXPECT_TRUE(Doc().m_bSortAscending);
  std::string note;
  Doc().GetNote("Saved", note);
  EXPECT_EQ(note, "on disk");
  EXPECT_EQ(TakeHints(), (std::vector<int>{HINT_SET_NAME, HINT_INITIAL_UPDATE}));
  EXPECT_EQ(Utf8(m_pManager->GetHistoryFile(0)), path);

  // The same file again: nothing happens.
  EXPECT_TRUE(Open(path));
  EXPECT_TRUE(TakeHints().empty());
}

TEST_F(DocumentFiles, FilesThatAreNoSetLeaveTheCurrentSetAsItWas) {
  Doc().GetRoot()->SetNote("", "current");
  WriteTextFile(m_home.File("bad.fcf"), std::string("\x01\x00\xff\xff\x7f", 5));
  WriteTextFile(m_home.File("empty.fcf"), "");

  wxTEST_DIALOG(EXPECT_FALSE(Open(m_home.File("bad.fcf"))), CExpectMessageBox(kMalformed));
  wxTEST_DIALOG(EXPECT_FALSE(Open(m_home.File("empty.fcf"))), CExpectMessageBox(kOpenFailed));
  wxTEST_DIALOG(EXPECT_FALSE(Open(m_home.File("none.fcf"))),
                CExpectMessageBox("ファイル " + m_home.File("none.fcf") + " が見つかりません。"));
  // A FIFO is refused at once, not waited on.
  const std::string fifo = m_home.File("fifo.fcf");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
  wxTEST_DIALOG(EXPECT_FALSE(Open(fifo)),
                CExpectMessageBox("ファイル " + fifo + " の読み込み中にエラーが発生しました。"));

  ASSERT_TRUE(Doc().GetRoot());
  std::string note;
  Doc().GetNote("", note);
  EXPECT_EQ(note, "current");
  EXPECT_EQ(Doc().GetSetName(), "新しいカタログセット");
  EXPECT_TRUE(Doc().GetFilename().empty());
  EXPECT_EQ(TakeHints(), std::vector<int>{HINT_INITIAL_UPDATE});
}

TEST_F(DocumentFiles, ChangedSetAsksBeforeItIsReplaced) {
  const std::string path = WriteSet("other.fcf");
  Doc().Modify(true);
  const std::string prompt = "無題 への変更を保存しますか?";

  // Cancel keeps everything.
  wxTEST_DIALOG(EXPECT_FALSE(m_pManager->CreateDocument(wxString(), wxDOC_NEW)),
                CExpectMessageBox(prompt, wxID_CANCEL));
  EXPECT_TRUE(Doc().IsModified());

  // No, then a file that cannot be read: the unsaved changes are still
  // marked as such.
  WriteTextFile(m_home.File("empty.fcf"), "");
  wxTEST_DIALOG(EXPECT_FALSE(Open(m_home.File("empty.fcf"))), CExpectMessageBox(prompt, wxID_NO),
                CExpectMessageBox(kOpenFailed));
  EXPECT_TRUE(Doc().IsModified());

  // No, then a good file: replaced.
  wxTEST_DIALOG(EXPECT_TRUE(Open(path)), CExpectMessageBox(prompt, wxID_NO));
  EXPECT_EQ(Doc().GetSetName(), "other カタログセット");
  EXPECT_FALSE(Doc().IsModified());

  // Yes on a set with a file saves it there before the new set comes.
  Doc().GetRoot()->SetNote("Saved", "changed");
  Doc().Modify(true);
  wxTEST_DIALOG(EXPECT_TRUE(m_pManager->CreateDocument(wxString(), wxDOC_NEW)),
                CExpectMessageBox("other.fcf への変更を保存しますか?", wxID_YES));
  EXPECT_EQ(Doc().GetSetName(), "新しいカタログセット");
  std::unique_ptr<CRootFileInfo> reread;
  ASSERT_EQ(ReadSetFile(path, reread), ESetFileError::None);
  std::string note;
  reread->GetNote("Saved", note);
  EXPECT_EQ(note, "changed");
}

TEST_F(DocumentFiles, SaveAsRenamesTheSetAndTellsTheViews) {
  TakeHints();
  const std::string path = m_home.File("backup");  // the extension is added
  wxTEST_DIALOG(EXPECT_TRUE(Doc().SaveAs()), CExpectSaveDialog(path));
  EXPECT_EQ(Doc().GetSetName(), "backup カタログセット");
  EXPECT_EQ(Utf8(Doc().GetFilename()), path + ".fcf");
  EXPECT_EQ(Utf8(Doc().GetUserReadableName()), "backup.fcf");
  EXPECT_EQ(TakeHints(), std::vector<int>{HINT_SET_NAME});
  EXPECT_TRUE(std::filesystem::exists(path + ".fcf"));
  EXPECT_EQ(Utf8(m_pManager->GetHistoryFile(0)), path + ".fcf");

  // A file named only by its extension: the whole path names the set.
  const std::string dotOnly = m_home.File(".fcf");
  ASSERT_TRUE(Doc().SaveAsPath(wxString::FromUTF8(dotOnly)));
  EXPECT_EQ(Doc().GetSetName(), dotOnly);

  wxTEST_DIALOG(EXPECT_FALSE(Doc().SaveAs()), CExpectSaveDialog(""));
  EXPECT_EQ(Doc().GetSetName(), dotOnly);
}

TEST_F(DocumentFiles, FailedSaveKeepsTheOldFileTheOldNameAndTheFlag) {
  const std::string path = WriteSet("keep.fcf");
  ASSERT_TRUE(Open(path));
  const std::string before = ReadTextFile(path);
  Doc().GetRoot()->SetNote("Saved", "unsaved");
  Doc().Modify(true);
  TakeHints();

  const std::string nowhere = m_home.File("no/such/folder/x.fcf");
  wxTEST_DIALOG(EXPECT_FALSE(Doc().SaveAsPath(wxString::FromUTF8(nowhere))),
                CExpectMessageBox(
                    "ファイル " + nowhere +
                    " の保存先のフォルダが見つかりません。\n保存されていません。元のファイルは変更されていません。"));
  EXPECT_EQ(Doc().GetSetName(), "keep カタログセット");
  EXPECT_EQ(Utf8(Doc().GetFilename()), path);
  EXPECT_TRUE(Doc().IsModified());
  EXPECT_TRUE(TakeHints().empty());
  EXPECT_EQ(ReadTextFile(path), before);

  // The ordinary save then writes where the set came from.
  EXPECT_TRUE(Doc().Save());
  EXPECT_FALSE(Doc().IsModified());
  EXPECT_EQ(TakeHints(), std::vector<int>{HINT_SET_NAME});
  EXPECT_NE(ReadTextFile(path), before);
}

// Another program saved the set since it was opened: the save asks before
// throwing that away; a read-only file is not written at all.
TEST_F(DocumentFiles, SaveOverAnotherProgramsChangeAsksFirst) {
  const std::string path = WriteSet("shared.fcf");
  ASSERT_TRUE(Open(path));
  Doc().GetRoot()->SetNote("Saved", "mine");
  Doc().Modify(true);
  WriteSet("shared.fcf");
  const std::string theirs = ReadTextFile(path);
  const std::string prompt = path + " は他のプログラムによって変更されています。上書きしますか?";
  wxTEST_DIALOG(EXPECT_FALSE(Doc().Save()), CExpectMessageBox(prompt, wxID_NO));
  EXPECT_TRUE(Doc().IsModified());
  EXPECT_EQ(ReadTextFile(path), theirs);
  wxTEST_DIALOG(EXPECT_TRUE(Doc().Save()), CExpectMessageBox(prompt, wxID_YES));
  EXPECT_FALSE(Doc().IsModified());
  Doc().Modify(true);
  EXPECT_TRUE(Doc().Save());  // our own save is no other program's change

  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  const std::string ours = ReadTextFile(path);
  Doc().Modify(true);
  wxTEST_DIALOG(
      EXPECT_FALSE(Doc().Save()),
      CExpectMessageBox("ファイル " + path +
                        " に書き込む権限がありません。\n保存されていません。元のファイルは変更されていません。"));
  EXPECT_TRUE(Doc().IsModified());
  EXPECT_EQ(ReadTextFile(path), ours);
}

// Another program holds the set's lock: the save waits for it, can be
// cancelled while it waits, and asks before replacing what that program saved.
TEST_F(DocumentFiles, SaveWaitsForAnotherProgramHoldingTheSet) {
  const std::string path = WriteSet("shared.fcf");
  ASSERT_TRUE(Open(path));
  Doc().GetRoot()->SetNote("Saved", "mine");
  Doc().Modify(true);
  struct CAlwaysShowProgress {
    const int nSaved = g_nProgressDelayMilliseconds;
    CAlwaysShowProgress() { g_nProgressDelayMilliseconds = -1; }
    ~CAlwaysShowProgress() { g_nProgressDelayMilliseconds = nSaved; }
  } showProgress;
  const std::string before = ReadTextFile(path);
  auto lock = std::make_unique<CReplaceLock>();
  ASSERT_TRUE(lock->Acquire(path));
  wxTEST_DIALOG(EXPECT_FALSE(Doc().Save()), CExpectDialog<CProgressDlg>([](CProgressDlg*) { return wxID_CANCEL; }),
                CExpectMessageBox("ファイル " + path + " の保存を中止しました。元のファイルは変更されていません。"));
  EXPECT_TRUE(Doc().IsModified());
  EXPECT_EQ(ReadTextFile(path), before);

  // It saves while this save waits, and lets go.
  std::string theirs;
  auto otherProgramSaves = [&](CProgressDlg*) {
    CSaveOptions underLock;
    underLock.bLockHeld = true;
    EXPECT_EQ(WriteSetFile(path, CRootFileInfo("theirs"), nullptr, underLock), ESetFileError::None);
    theirs = ReadTextFile(path);
    lock.reset();
    return wxID_OK;  // waits for the save
  };
  const std::string prompt = path + " は他のプログラムによって変更されています。上書きしますか?";
  wxTEST_DIALOG(EXPECT_FALSE(Doc().Save()), CExpectDialog<CProgressDlg>(otherProgramSaves),
                CExpectMessageBox(prompt, wxID_NO));
  EXPECT_TRUE(Doc().IsModified());
  EXPECT_EQ(ReadTextFile(path), theirs);
}

// One catalog's record damaged: opening says what was lost, and a save
// asks before it drops it; Cancel leaves the file as it was.
TEST_F(DocumentFiles, SavingASetWhoseRecordsDidNotAllReadAsksFirst) {
  CRootFileInfo set("x");
  std::filesystem::create_directories(m_home.File("src"));
  for (const char* label : {"Kept", "Damaged"}) {
    CCatalogRecord record;
    record.medium = {"2f1c-77aa", "vfat", label, 8000000000, "/"};
    set.AddCatalog(label, m_home.File("src"))->m_record = record;
  }
  const std::string path = m_home.File("damaged.fcf");
  std::string bytes = WriteSetToBytes(set);
  bytes.back() ^= 1;  // in the payload of the last record, the second catalog's
  WriteTextFile(path, bytes);
  wxTEST_DIALOG(EXPECT_TRUE(Open(path)),
                CExpectMessageBox("カタログのメディアと作成方法などの記録が壊れているため、読めた記録だけを使います"
                                  "\n読めない記録: 1 件\n読めた記録: 1 件"));

  Doc().GetRoot()->SetNote("Kept", "changed");
  Doc().Modify(true);
  const std::string prompt =
      "このカタログセットの記録の一部は壊れていて読めませんでした。\n保存すると、読めなかった記録は失われます。"
      "\n保存してよろしいですか？";
  wxTEST_DIALOG(EXPECT_FALSE(Doc().Save()), CExpectMessageBox(prompt, wxID_CANCEL));
  EXPECT_TRUE(Doc().IsModified());
  EXPECT_EQ(ReadTextFile(path), bytes);

  wxTEST_DIALOG(EXPECT_TRUE(Doc().Save()), CExpectMessageBox(prompt, wxID_OK));
  EXPECT_FALSE(Doc().IsModified());
  std::unique_ptr<CRootFileInfo> saved;
  ASSERT_EQ(ReadSetFile(path, saved), ESetFileError::None);
  EXPECT_EQ(saved->m_extensionState, EExtensionState::Loaded);
  EXPECT_TRUE(static_cast<const CDriveFileInfo&>(*saved->Children()[0]).m_record);
  EXPECT_FALSE(static_cast<const CDriveFileInfo&>(*saved->Children()[1]).m_record);
  // Nothing is left to lose: the next save does not ask.
  Doc().Modify(true);
  EXPECT_TRUE(Doc().Save());
}

TEST_F(DocumentFiles, RecentFilesAreStoredAsFileOneToFourInTheSettingsFile) {
  auto config = OpenSettingsFile();
  CSettingsStore* old = SetSettingsStore(config.get());
  for (const char* name : {"a.fcf", "b.fcf", "c.fcf", "d.fcf", "e.fcf"}) ASSERT_TRUE(Open(WriteSet(name)));
  SetSettingsStore(old);

  EXPECT_EQ(config->GetString("Recent File List", "File1"), m_home.File("e.fcf"));
  EXPECT_EQ(config->GetString("Recent File List", "File4"), m_home.File("b.fcf"));
  EXPECT_FALSE(config->Has("Recent File List", "File5"));

  // Read back in the same order.
  wxFileHistory history(4);
  LoadRecentFileList(*config, history);
  ASSERT_EQ(history.GetCount(), 4u);
  EXPECT_EQ(Utf8(history.GetHistoryFile(0)), m_home.File("e.fcf"));
  EXPECT_EQ(Utf8(history.GetHistoryFile(3)), m_home.File("b.fcf"));

  // A recent file that is gone is taken off the list with a message.
  SetSettingsStore(config.get());
  std::filesystem::remove(m_home.File("c.fcf"));
  wxCommandEvent third(wxEVT_MENU, wxID_FILE3);
  wxTEST_DIALOG(m_pManager->OnMRUFile(third),
                CExpectMessageBox("ファイル " + m_home.File("c.fcf") +
                                  " が見つかりません。\n最近使ったファイルの一覧から削除しました。"));
  SetSettingsStore(old);
  EXPECT_EQ(m_pManager->GetHistoryFilesCount(), 3u);
  EXPECT_EQ(config->GetString("Recent File List", "File3"), m_home.File("b.fcf"));
  EXPECT_FALSE(config->Has("Recent File List", "File4"));
}
