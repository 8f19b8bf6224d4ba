#include "dialogs/note_text.h"

#include "dialogs/note_source.h"

std::string NoteToEditText(const std::string& note) {
  std::string text;
  text.reserve(note.size());
  for (std::size_t i = 0; i < note.size(); ++i) {
    if (note[i] != '\r') {
      text += note[i];
      continue;
    }
    text += '\n';
    if (i + 1 < note.size() && note[i + 1] == '\n') ++i;
  }
  return text;
}

std::string EditTextToNote(const std::string& editText, const std::string& original) {
  if (editText == NoteToEditText(original)) return original;
  std::string note;
  note.reserve(editText.size() + editText.size() / 16);
  for (char c : editText) {
    if (c == '\n') note += '\r';
    note += c;
  }
  return note;
}

std::string NoteItemName(const std::vector<std::string>& paths) {
  if (paths.size() != 1) return "複数選択されたファイル";
  const std::string& path = paths.front();
  if (path.empty()) return "カタログセット";
  // Safe on UTF-8: a backslash byte is never part of a longer character.
  const std::size_t slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string NotePrompt(const std::vector<std::string>& paths) {
  return NoteItemName(paths) + " のノートを編集してください：";
}

std::string LookUpNote(CNoteSource& source, const std::vector<std::string>& paths) {
  std::string note;
  if (paths.size() == 1)
    source.GetNote(paths.front(), note);
  else
    source.GetCommonNote(paths, note);
  return note;
}
