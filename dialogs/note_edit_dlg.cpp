#include "dialogs/note_edit_dlg.h"

#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "dialogs/note_source.h"
#include "dialogs/note_text.h"
#include "dialogs/static_text_wrap.h"

CNoteEditDlg::CNoteEditDlg(wxWindow* parent, const std::vector<std::string>* pPaths, CNoteSource* pSource)
    : CValueDialog(parent, "ノートの編集", "NoteEditLayout"), m_pPaths(pPaths), m_pSource(pSource) {}

bool CNoteEditDlg::TransferDataToWindow() {
  if (!wxDialog::TransferDataToWindow()) return false;
  const std::vector<std::string> noPaths;
  const std::vector<std::string>& paths = m_pPaths ? *m_pPaths : noPaths;
  m_strStartNote = m_pSource ? LookUpNote(*m_pSource, paths) : std::string();
  m_strNote = m_strStartNote;
  m_strPrompt = NotePrompt(paths);
  wxTextCtrl* edit = XRCCTRL(*this, "ID_NOTE_EDIT", wxTextCtrl);
  edit->ChangeValue(wxString::FromUTF8(NoteToEditText(m_strNote)));
  SetWrappedText(XRCCTRL(*this, "ID_NOTE_PROMPT", wxStaticText), wxString::FromUTF8(m_strPrompt));
  // Typing replaces the note at once; an arrow key keeps it.
  edit->SetFocus();
  edit->SelectAll();
  return true;
}

bool CNoteEditDlg::TransferDataFromWindow() {
  if (!wxDialog::TransferDataFromWindow()) return false;
  m_strNote = EditTextToNote(XRCCTRL(*this, "ID_NOTE_EDIT", wxTextCtrl)->GetValue().utf8_string(), m_strStartNote);
  return true;
}
