#pragma once
// The report command: which catalogs and columns (CCatalogOutDlg), which file
// (the save dialog), then the HTML report is written under the wait cursor
// and the column choice is remembered, whether the writing worked or not.
// Cancelling any dialog writes and remembers nothing.

#include <functional>
#include <string>

#include "model/work_progress.h"

class CAppSettings;
class CRootFileInfo;
class wxWindow;

inline constexpr const char kReportFailed[] = "カタログ情報の出力に失敗しました";
inline constexpr const char kReportOverSet[] =
    "開いているカタログセットのファイルには出力できません\n別のファイルを指定してください";

// Runs the command on set, with parent owning the dialogs. settings holds
// the column choice it starts from and stores the new one (null: all columns,
// nothing stored). True when a report was written. The file setPath, where
// the set is kept, is never replaced by its report.
bool OutputCatalogSet(const CRootFileInfo& set, CAppSettings* settings, wxWindow* parent,
                      const std::string& setPath = std::string());

// "%sの情報.htm" for the set's name.
std::string DefaultReportFileName(const std::string& setName);
// The save dialog's filter "HTML ファイル|*.htm; *.html|すべてのファイル|*.*||", wx form.
std::string ReportFileWildcard();
// path with ".htm" added when its file name has no extension.
std::string WithReportExtension(const std::string& path);
// path with extension (".csv") added when its file name has none.
std::string WithExtension(const std::string& path, const char* extension);

// The save dialog with the filter wildcard (wx form); true with the chosen
// path, extension added when the name has none. The dialog asked before
// replacing the file the user named; a file that only the added extension
// hits is asked about here.
bool AskSavePath(wxWindow* parent, const std::string& defaultName, const std::string& wildcard, const char* extension,
                 std::string& path);

// The texts of a command that writes one file with progress and cancel.
struct CFileOutputTexts {
  const char* pszCaption;
  const char* pszOverSet;
  const char* pszCancelled;
  const char* pszFailed;
};
// Refuses path when it is the open set's own file (setPath), else runs
// write (given the progress to report to and poll) with a progress dialog,
// and tells how it ended unless it succeeded; whether it did.
bool WriteWithProgress(wxWindow* parent, const std::string& path, const std::string& setPath,
                       const CFileOutputTexts& texts, const std::function<bool(CWorkProgress& progress)>& write);
