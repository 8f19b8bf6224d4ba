#pragma once
// The main window with both views over a document, made the way start-up
// makes them, on a set the test builds.

#include <memory>
#include <string>
#include <vector>

#include <wx/treectrl.h>

#include "document/doc_manager.h"
#include "model/root_file_info.h"
#include "tests/gui/doc_test_util.h"

class CExplorerApDoc;
class CExplorerApView;
class CLeftView;
class CMainFrame;
class CQuarrixDocManager;

// A set of three catalogs:
//   Alpha   (empty)
//   CD1     docs\ (a.txt 100 B, B.txt 2 MB, c.doc 900 KB, d.txt 100 B, old\)
//           empty\, Photos\ (p1.jpg), readme.txt, zeta.bin
//   CD2     x.txt (no folders)
// Times are fixed UTC seconds; the fixture runs in UTC.
std::unique_ptr<CRootFileInfo> MakeExplorerTestSet();

class CExplorerTest : public testing::Test {
 protected:
  CExplorerTest();
  ~CExplorerTest() override;

  // Puts set into the document as a newly opened one; the tree is built and
  // its first fill of the list is pending.
  void UseSet(std::unique_ptr<CRootFileInfo> set);
  // Runs the pending fill now instead of after the delay.
  void Settle();

  CExplorerApDoc& Doc();
  CMainFrame& Frame() { return *m_pFrame; }
  CLeftView& Tree();
  CExplorerApView& List();
  wxTreeCtrl& TreeCtrl();

  // The node at path, expanding the way there but selecting nothing.
  wxTreeItemId Node(const std::string& path);
  // The names of the list's rows in list order.
  std::vector<std::string> Names();
  // Selects exactly the rows named (and makes the list the active view).
  void SelectRows(const std::vector<std::string>& names);
  // The list's status text, as the idle refresh asks for it.
  std::string ListStatus();

  // A command's state and the command itself, routed as the menus route it.
  bool Enabled(int id);
  bool Checked(int id);
  void Command(int id);
  // A key press sent to window, with modifiers (wxMOD_ALT, ...) held.
  void Key(wxWindow* window, int keyCode, int modifiers = wxMOD_NONE);

  CScopedTimeZone m_utc{"UTC"};
  CTestHome m_home;
  std::unique_ptr<CQuarrixDocManager> m_pManager;
  CMainFrame* m_pFrame = nullptr;
};
