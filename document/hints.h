#pragma once
// The update hints the document sends to its views through UpdateAllViews,
// and the small objects some of them carry.
//
// Every hint the document sends is a CUpdateHint (or a CNoteHint/CItemHint);
// a null hint is the initial update that follows a new or opened set, after
// which the views rebuild themselves from scratch. Views read the number with
// HintNumberOf and the objects with dynamic_cast.

#include <string>

#include <wx/object.h>

struct CItemSummary;

enum EUpdateHint {
  HINT_INITIAL_UPDATE = -1,  // null hint: a new or opened set
  HINT_REBUILD = 0,          // a catalog was added or deleted
  HINT_SET_NAME = 100,       // the set's name changed (opened or saved)
  HINT_GO_TO_FOLDER = 101,   // CItemHint with the folder's path; sent by the list view
  HINT_NOTE_CHANGED = 102,   // CNoteHint: one item's note was set
  HINT_GO_TO_ITEM = 103,     // CItemHint with the chosen search result
  HINT_SORT_CHANGED = 104,   // the sort key changed
  HINT_SELECT_ALL = 105,     // select all was chosen
};

class CUpdateHint : public wxObject {
 public:
  explicit CUpdateHint(int nHint) : m_nHint(nHint) {}
  int m_nHint;
};

class CNoteHint : public CUpdateHint {
 public:
  CNoteHint(std::string path, std::string note)
      : CUpdateHint(HINT_NOTE_CHANGED), m_strPath(std::move(path)), m_strNote(std::move(note)) {}
  std::string m_strPath;  // logical path of the item
  std::string m_strNote;  // its new note
};

// For HINT_GO_TO_FOLDER the folder's logical path; for HINT_GO_TO_ITEM the
// record of the found item, which belongs to the sender and lives only while
// the views are being updated.
class CItemHint : public CUpdateHint {
 public:
  CItemHint(int nHint, std::string path) : CUpdateHint(nHint), m_strPath(std::move(path)) {}
  CItemHint(int nHint, const CItemSummary* pItem) : CUpdateHint(nHint), m_pItem(pItem) {}
  std::string m_strPath;
  const CItemSummary* m_pItem = nullptr;
};

// The hint's number; HINT_INITIAL_UPDATE for a null hint or an object that
// is not an update hint.
inline int HintNumberOf(const wxObject* hint) {
  const auto* update = dynamic_cast<const CUpdateHint*>(hint);
  return update ? update->m_nHint : HINT_INITIAL_UPDATE;
}
