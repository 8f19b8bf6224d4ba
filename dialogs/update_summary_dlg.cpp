#include "dialogs/update_summary_dlg.h"

#include <wx/listbox.h>
#include <wx/stattext.h>
#include <wx/xrc/xmlres.h>

#include "model/text_format.h"

std::vector<std::string> LostNoteLines(const CUpdateSummary& summary) {
  const std::size_t listed = std::min(summary.lostNotes.size(), kLostNotesListed);
  std::vector<std::string> lines(summary.lostNotes.begin(), summary.lostNotes.begin() + listed);
  if (listed < summary.lostNotes.size())
    lines.push_back("ほか " + FormatCount(summary.lostNotes.size() - listed) + " 項目");
  return lines;
}

std::string LostNotesCaption(const CUpdateSummary& summary) {
  return summary.lostNotes.empty() ? "失われるノートはありません"
                                   : "次の項目は削除されるか種類が変わり、ノートが失われます (" +
                                         FormatCount(summary.lostNotes.size()) + " 項目):";
}

CUpdateSummaryDlg::CUpdateSummaryDlg(wxWindow* parent, const std::string& label, const CUpdateSummary& summary)
    : CValueDialog(parent, "カタログの更新", "UpdateSummaryLayout") {
  const auto set = [this](const char* name, const std::string& text) {
    if (auto* control = dynamic_cast<wxStaticText*>(FindWindow(XRCID(name))))
      control->SetLabel(wxString::FromUTF8(text));
  };
  std::string message = "カタログ " + label + " を次のように更新します";
  if (summary.bBasePathChanged) message = "カタログ " + label + " を新しい場所から次のように更新します";
  if (summary.unreadable.nCount != 0)
    message += "\n読めなかった場所 " + FormatCount(summary.unreadable.nCount) + " 件は前の内容のままです";
  set("ID_MESSAGE", message);
  set("ID_ADDED", FormatCount(summary.nAdded));
  set("ID_REMOVED", FormatCount(summary.nRemoved));
  set("ID_CHANGED", FormatCount(summary.nChanged));
  set("ID_NOTES_KEPT", FormatCount(summary.nNotesKept));
  set("ID_LOST_CAPTION", LostNotesCaption(summary));
  if (auto* list = XRCCTRL(*this, "ID_LOST", wxListBox)) {
    wxArrayString lines;
    for (const std::string& line : LostNoteLines(summary)) lines.Add(wxString::FromUTF8(line));
    list->Append(lines);
    list->Enable(!summary.lostNotes.empty());
  }
}

std::string CUpdateSummaryDlg::GetText(const char* name) const {
  const wxWindow* control = FindWindow(XRCID(name));
  return control ? control->GetLabel().utf8_string() : std::string();
}
