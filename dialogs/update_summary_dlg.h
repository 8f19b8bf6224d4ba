#pragma once
// Shows what updating a catalog would change: the counts, and the items
// whose notes would be lost. Ends with wxID_OK ("更新": apply) or
// wxID_CANCEL (leave everything as it was).

#include <string>
#include <vector>

#include "dialogs/value_dialog.h"
#include "model/catalog_update.h"

// At most this many lost notes are listed; a last line counts the others.
inline constexpr std::size_t kLostNotesListed = 1000;

// The lines of the lost-notes list for summary.
std::vector<std::string> LostNoteLines(const CUpdateSummary& summary);
// The caption above that list.
std::string LostNotesCaption(const CUpdateSummary& summary);

class CUpdateSummaryDlg : public CValueDialog {
 public:
  CUpdateSummaryDlg(wxWindow* parent, const std::string& label, const CUpdateSummary& summary);

  // The text of a control of the layout, for tests.
  std::string GetText(const char* name) const;
};
