// The plain decisions behind the dialogs: note line breaks, file-dialog
// filters, wrapping of Japanese text.

#include <gtest/gtest.h>

#include "dialogs/file_filter.h"
#include "dialogs/message_box.h"
#include "dialogs/note_text.h"
#include "dialogs/static_text_wrap.h"
#include "document/doc_messages.h"
#include "tests/gui/gui_test_util.h"

namespace {

TEST(NoteText, UntouchedNotesComeBackByteForByteAndEditedOnesWithCrLf) {
  for (const std::string note : {"a\r\nb", "a\nb", "a\rb", "", "末尾\r\n"}) {
    EXPECT_EQ(NoteToEditText(note).find('\r'), std::string::npos) << note;
    EXPECT_EQ(EditTextToNote(NoteToEditText(note), note), note);
  }
  EXPECT_EQ(NoteToEditText("a\r\n\r\nb\rc"), "a\n\nb\nc");
  EXPECT_EQ(EditTextToNote("a\nb\n", "a\nb"), "a\r\nb\r\n");
  EXPECT_EQ(EditTextToNote("", "old"), "");
}

TEST(FileFilter, WindowsFiltersBecomeWxWildcards) {
  EXPECT_EQ(ToWxWildcard("テキスト|*.txt; *.log|すべて (*.*)|*.*||"), "テキスト|*.txt;*.log|すべて (*.*)|*");
}

TEST(FileFilter, TheLocateFilterStillListsNamesTheSyntaxWouldBreak) {
  // ";" would split the pattern, "|" the filter, "[" start a character
  // class, "%" be read as a format; blanks at the ends would be trimmed.
  EXPECT_EQ(LocateFileWildcard("a;b.txt"), "カタログ内のファイル|a?b.txt");
  EXPECT_EQ(LocateFileWildcard("x|y [1].txt"), "カタログ内のファイル|x?y ?1?.txt");
  EXPECT_EQ(LocateFileWildcard("100%s.txt"), "カタログ内のファイル|100%s.txt");
  EXPECT_EQ(LocateFileWildcard(" 資料 .doc "), "カタログ内のファイル|?資料 .doc?");
}

TEST(StaticTextWrap, BreaksAfterABlankOrElseBetweenCharacters) {
  auto tenPerCharacter = [](const wxString& line) { return int(line.length()) * 10; };
  EXPECT_EQ(Utf8(WrapText(wxString::FromUTF8("あいうえおかき"), 30, tenPerCharacter)), "あいう\nえおか\nき");
  EXPECT_EQ(Utf8(WrapText("ab cd ef", 50, tenPerCharacter)), "ab cd\nef");
  EXPECT_EQ(Utf8(WrapText(wxString::FromUTF8("短い\n行"), 30, tenPerCharacter)), "短い\n行");
  EXPECT_EQ(Utf8(WrapText("unmeasured", 0, tenPerCharacter)), "unmeasured");
  EXPECT_EQ(Utf8(WrapText(wxString::FromUTF8("1 件です。選択します"), 70, tenPerCharacter)), "1 件です。\n選択します");
}

TEST(MessageBoxText, LongLinesBreakAtBlanksOrAfterAFolderNeverInsideAWord) {
  const std::string path = "/home/user/ドキュメント/カタログ/読み取り専用/写真とビデオのカタログ.fcf";
  EXPECT_EQ(MessageBoxText(SetFileErrorMessage(ESetFileError::AccessDenied, path, true)),
            "ファイル /home/user/ドキュメント/カタログ/読み取り専用/\n"
            "写真とビデオのカタログ.fcf に書き込む権限がありません。\n"
            "保存されていません。元のファイルは変更されていません。");
  EXPECT_EQ(MessageBoxText("短い\n行"), "短い\n行");
}

}  // namespace
