#pragma once
// The decisions of the information sheet and the small dialogs, kept apart
// from the windows so that they can be checked without a display.

#include <string>
#include <vector>

// The page the information sheet shows for a record type.
enum EPropPage { PROP_PAGE_ROOT, PROP_PAGE_FILE, PROP_PAGE_FOLDER, PROP_PAGE_DRIVE };

// Set: root page; file: file page; catalog: drive page; folder and several
// items share the folder page (so does any unknown type, which shows the
// several-items texts rather than nothing).
EPropPage PropPageForType(int nType);

// The size label of the folder page: "このフォルダ\n以下の合計サイズ" for one
// folder (type 2), "複数ファイルの\n合計サイズ" otherwise.
const char* FolderSizeLabel(int nType);

// The message refusing a catalog label, or null when it is acceptable. A
// label is refused when empty or holding "\" (the separator of logical
// paths): blanks are a label too, and whether it is unique is the
// document's question.
const char* LabelRefusal(const std::string& label);

// The remembered application that is the file just picked (exact match), or
// -1 when it is a new one.
int FindAppEntry(const std::vector<std::string>& apps, const std::string& path);
