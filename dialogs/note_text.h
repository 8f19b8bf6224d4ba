#pragma once
// What the note dialog and the information pages decide about note text.
// Notes keep Windows line breaks (CR LF) in the set file, while the GTK text
// box works with bare LF, so the text is converted on its way in and out.

#include <string>
#include <vector>

class CNoteSource;

// The note as the text box shows it: CR LF and lone CR become LF.
std::string NoteToEditText(const std::string& note);

// The note to hand back for the box's text. An untouched box gives back
// original byte for byte (so writing it changes nothing); an edited one has
// its line breaks as CR LF.
std::string EditTextToNote(const std::string& editText, const std::string& original);

// The name the note dialog's prompt starts with: "カタログセット" for the
// set's empty path, the last component of an item's path, the label of a
// catalog, and "複数選択されたファイル" unless there is exactly one path.
std::string NoteItemName(const std::vector<std::string>& paths);

// NoteItemName followed by " のノートを編集してください：".
std::string NotePrompt(const std::vector<std::string>& paths);

// The note the dialog opens with: the single item's note, or the note all
// items share; empty when there is none.
std::string LookUpNote(CNoteSource& source, const std::vector<std::string>& paths);
