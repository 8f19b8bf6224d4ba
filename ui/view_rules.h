#pragma once
// What the two views decide from their selection: which commands are
// available, what Enter does, and the status-bar text.

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "model/limits.h"

// The list view's selection as its commands see it.
struct CListSelection {
  bool m_bSetLevel = true;  // the list shows the catalogs of the set
  int m_nSelected = 0;      // selected rows
  int m_nContainers = 0;    // selected folders and catalogs among them
};

// Delete catalog: catalogs are listed and one is selected.
bool ListCanDeleteCatalog(const CListSelection& selection);
// Update and verify catalog: catalogs are listed and exactly one is selected.
bool ListCanUpdateCatalog(const CListSelection& selection);
// Edit note, properties, copy location: something is selected.
bool ListHasSelection(const CListSelection& selection);
// Open file: only files are selected, below the set level.
bool ListCanOpenFile(const CListSelection& selection);

enum class EEnterAction {
  None,        // nothing selected, or files mixed with folders
  OpenFiles,   // every selected row is a file: open each one
  OpenFolder,  // every selected row is a folder or catalog: open the first
};
EEnterAction ClassifyEnter(const CListSelection& selection);

// The list's status text: no selection, the place shown; one row, that
// row's path; more, "N 個のファイルを選択".
std::string ListStatusText(const std::string& currentPath, int nSelected, const std::string& oneSelectedPath);

// The clipboard text for copy location: each path followed by CR LF.
std::string LocationText(const std::vector<std::string>& paths);

// The tree's delete catalog: a node right below the root is selected.
bool TreeCanDeleteCatalog(bool hasSelection, bool parentIsRoot);

// A note as its list row shows it: each line break (CR LF, CR or LF) and
// each tab becomes one blank, so the row keeps one line.
std::string OneLineText(const std::string& text);

// Where Backspace and Alt+Up lead from the list showing current: parent
// (empty: the set level) and the name of the row to select there, the place
// left. False at the set level, which has no parent.
bool ListParentPlace(const std::string& current, std::string& parent, std::string& childName);

// The row to select when the keyboard brings the focus into a list without
// a selection: the focused row, else the first; -1 to leave the list as it
// is (rows selected already, or none at all).
long RowToSelectOnEntry(long selectedCount, long focusedRow, long rowCount);

// The tree's expand-all below top: expand(node) opens one node and returns
// those below it that can open in turn. Breadth first, so that what is
// nearest opens first, and at most limit nodes (kMaxExpandAllNodes). False
// when it stopped there with nodes left closed.
template <class TNode, class FExpand>
bool ExpandAllWithin(const TNode& top, FExpand&& expand, std::size_t limit = kMaxExpandAllNodes) {
  std::deque<TNode> pending{top};
  for (std::size_t opened = 0; !pending.empty(); ++opened) {
    if (opened == limit) return false;
    for (const TNode& below : expand(pending.front())) pending.push_back(below);
    pending.pop_front();
  }
  return true;
}
