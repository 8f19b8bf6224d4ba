#pragma once
// File-dialog filters. The program's filters are written in the Windows form
// "description|pattern; pattern|...||"; wxFileDialog wants
// "description|pattern;pattern|..." without the terminator.

#include <string>

// The wx form of a Windows-style filter: the trailing "||" dropped, blanks
// around each pattern removed, and "*.*" (every file on Windows, but only
// names with a dot here) turned into "*".
std::string ToWxWildcard(const std::string& filter);

// A pattern that lists exactly the files named name: characters that the
// filter syntax reads as separators or wildcards, and blanks at either end
// (which the filter parsing would trim), each match one character instead.
std::string NameAsPattern(const std::string& name);

// The locate dialog's filter "カタログ内のファイル|%s||" for fileName.
std::string LocateFileWildcard(const std::string& fileName);

// The application dialog's filter "実行可能ファイル|*.exe; *.com|すべてのファイル (*.*)|*.*||".
// Programs here have no .exe or .com extension but an execute permission,
// which a name pattern cannot see, so the first entry lists every file.
std::string AppBrowseWildcard();
