#pragma once
// The export command: the format and catalogs (CExportDlg), the file (the
// save dialog), then the list is written with progress and a cancel button.
// Cancelling any dialog or the progress writes nothing and leaves an older
// file as it was.

#include <string>

#include "model/list_format.h"

class CRootFileInfo;
class wxWindow;

inline constexpr const char kExportFailed[] = "エクスポートに失敗しました";
inline constexpr const char kExportCancelled[] = "エクスポートをキャンセルしました。ファイルは変更されていません";
inline constexpr const char kExportOverSet[] =
    "開いているカタログセットのファイルにはエクスポートできません\n別のファイルを指定してください";

// Runs the command on set, with parent owning the dialogs. True when a list
// was written. The file setPath, where the set is kept, is never replaced.
bool ExportItemList(const CRootFileInfo& set, wxWindow* parent, const std::string& setPath = std::string());

// ".csv", ".tsv", ".efu" or ".jsonl".
const char* ListFileExtension(EListFormat format);
// The save dialog's filter for format, wx form: the format's files, then all.
std::string ListFileWildcard(EListFormat format);
