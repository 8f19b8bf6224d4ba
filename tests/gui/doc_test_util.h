#pragma once
// Helpers for the document, settings and start-up tests: a private home for
// each test, a view that records the hints it receives, a document made the
// way the program makes it, and answers for the dialogs the commands show.

#include <memory>
#include <string>
#include <vector>

#include <wx/dirdlg.h>
#include <wx/docview.h>
#include <wx/testing.h>

#include "dialogs/label_dlg.h"
#include "dialogs/note_edit_dlg.h"
#include "dialogs/prop_info_sheet.h"
#include "dialogs/search_result_dlg.h"
#include "dialogs/search_sheet.h"
#include "document/app_settings.h"
#include "document/settings_file.h"
#include "document/settings_store.h"
#include "document/status_text_source.h"
#include "tests/gui/gui_test_util.h"

class CExplorerApDoc;
class CQuarrixDocManager;

// A temporary folder that is the test's HOME, with XDG_CONFIG_HOME and
// XDG_DATA_HOME below it; the old values come back and the folder goes at the
// end of the test.
class CTestHome {
 public:
  CTestHome();
  ~CTestHome();
  CTestHome(const CTestHome&) = delete;
  CTestHome& operator=(const CTestHome&) = delete;

  const std::string& Path() const { return m_strPath; }
  std::string File(const std::string& name) const { return m_strPath + "/" + name; }
  std::string ConfigHome() const { return File("config"); }
  std::string DataHome() const { return File("data"); }

 private:
  struct CSaved {
    std::string m_strName, m_strValue;
    bool m_bSet;
  };
  std::string m_strPath;
  std::vector<CSaved> m_vecSaved;
};

void WriteTextFile(const std::string& path, const std::string& text);
std::string ReadTextFile(const std::string& path);

// One hint as a view saw it.
struct CSeenHint {
  int m_nHint;
  std::string m_strPath;  // CNoteHint / CItemHint
  std::string m_strNote;  // CNoteHint, or the found item's note
  std::string m_strName;  // the found item's name
  bool m_bModified;       // the document's flag when the hint came
};

class CRecordingView : public wxView, public CStatusTextSource {
 public:
  void OnDraw(wxDC*) override {}
  void OnUpdate(wxView* sender, wxObject* hint) override;
  bool GetStatusText(wxString& text) override;

  std::vector<int> Numbers() const;

  std::vector<CSeenHint> m_vecHints;
  wxString m_strStatus;

  wxDECLARE_DYNAMIC_CLASS(CRecordingView);
};

// A document manager with the set template (making a CRecordingView) and a
// new set, as start-up makes them. At the end the set is dropped unsaved.
class CDocTest : public testing::Test {
 protected:
  CDocTest();
  ~CDocTest() override;

  CExplorerApDoc& Doc();
  CRecordingView& View();
  // The view's hint numbers since the last call, and forgets them.
  std::vector<int> TakeHints();

  CTestHome m_home;
  std::unique_ptr<CQuarrixDocManager> m_pManager;
};

// The application's settings, on the test's own settings file, while it lives.
class CScopedAppSettings {
 public:
  CScopedAppSettings() : m_pStore(OpenSettingsFile()), m_settings(*m_pStore) { SetAppSettings(&m_settings); }
  ~CScopedAppSettings() { SetAppSettings(nullptr); }

 private:
  std::unique_ptr<CSettingsStore> m_pStore;
  CAppSettings m_settings;
};

// The folder picker with its title, answered with path (cancelled when empty);
// start, when given, is the folder it must show first.
class CExpectDirDialog : public wxExpectModalBase<wxDirDialog, CExpectDirDialog> {
 public:
  explicit CExpectDirDialog(std::string path,
                            std::string title = "カタログ化するドライブまたはフォルダを選択してください",
                            std::string start = {})
      : m_strPath(std::move(path)), m_strTitle(std::move(title)), m_strStart(std::move(start)) {}

 protected:
  int OnInvoked(wxDirDialog* dlg) const override;

 private:
  std::string m_strPath, m_strTitle, m_strStart;
};

// The label dialog: label typed and OK, or cancelled when label is empty.
class CExpectLabelDlg : public wxExpectModalBase<CLabelDlg, CExpectLabelDlg> {
 public:
  explicit CExpectLabelDlg(std::string label) : m_strLabel(std::move(label)) {}

 protected:
  int OnInvoked(CLabelDlg* dlg) const override;

 private:
  std::string m_strLabel;
};

// The note dialog: checks the note it starts with, then types note and OK
// (or cancels when cancel is set).
class CExpectNoteDlg : public wxExpectModalBase<CNoteEditDlg, CExpectNoteDlg> {
 public:
  CExpectNoteDlg(std::string shown, std::string note, bool cancel = false)
      : m_strShown(std::move(shown)), m_strNote(std::move(note)), m_bCancel(cancel) {}

 protected:
  int OnInvoked(CNoteEditDlg* dlg) const override;

 private:
  std::string m_strShown, m_strNote;
  bool m_bCancel;
};

// The information sheet: checks its caption and the note it shows, then
// types note (unless it is the note shown: the box stays untouched) and OK
// (or cancels).
class CExpectPropSheet : public wxExpectModalBase<CPropInfoSheet, CExpectPropSheet> {
 public:
  CExpectPropSheet(std::string shown, std::string note, bool cancel = false)
      : m_strShown(std::move(shown)), m_strNote(std::move(note)), m_bCancel(cancel) {}

 protected:
  int OnInvoked(CPropInfoSheet* sheet) const override;

 private:
  std::string m_strShown, m_strNote;
  bool m_bCancel;
};

// The search sheet: a name search for pattern (part of the name, any case),
// or cancelled when pattern is empty.
class CExpectSearchSheet : public wxExpectModalBase<CSearchSheet, CExpectSearchSheet> {
 public:
  explicit CExpectSearchSheet(std::string pattern) : m_strPattern(std::move(pattern)) {}

 protected:
  int OnInvoked(CSearchSheet* sheet) const override;

 private:
  std::string m_strPattern;
};

// The result dialog: expects count rows, picks row (cancels when row < 0).
class CExpectResultDlg : public wxExpectModalBase<CSearchResultDlg, CExpectResultDlg> {
 public:
  CExpectResultDlg(int count, long row) : m_nCount(count), m_nRow(row) {}

 protected:
  int OnInvoked(CSearchResultDlg* dlg) const override;

 private:
  int m_nCount;
  long m_nRow;
};
