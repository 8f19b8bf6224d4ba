#pragma once
// Exporting catalogs as plain file lists (list_format.h): every file and
// folder below each catalog, in walk order.

#include <string>
#include <vector>

#include "model/list_format.h"
#include "model/set_file_error.h"
#include "model/work_progress.h"

class CRootFileInfo;

// How a list is written: its format and, for those that have one
// (HasSpreadsheetSafeForm), whether in its spreadsheet-safe form.
struct CListStyle {
  // Not explicit: a format alone is its plain style.
  CListStyle(EListFormat format, bool spreadsheetSafe = false)
      : eFormat(format), bSpreadsheetSafe(spreadsheetSafe && HasSpreadsheetSafeForm(format)) {}
  EListFormat eFormat;
  bool bSpreadsheetSafe;
};

// Writes the items of the catalogs named in catalogs (null: all of them) in
// style to the open file fd. csv starts with a UTF-8 byte order mark, which
// spreadsheet programs need to read UTF-8. The efu form gives paths relative
// to the catalog when there is one catalog, else below its label. False when
// writing failed (errno kept) or progress was cancelled. The format must not be
// EListFormat::Find, which is read only.
bool WriteItemList(int fd, const CRootFileInfo& set, const std::vector<std::string>* catalogs, CListStyle style,
                   CWorkProgress* progress = nullptr);

// The same into the file path, written beside it and renamed over it: a
// failure or a cancel leaves an older file as it was and no other behind,
// and what is not a regular file is never replaced. Why it failed in *pError.
bool WriteItemListFile(const std::string& path, const CRootFileInfo& set, const std::vector<std::string>* catalogs,
                       CListStyle style, ESetFileError* pError = nullptr, CWorkProgress* progress = nullptr);

// The labels of catalogs that set does not hold.
std::vector<std::string> MissingCatalogs(const CRootFileInfo& set, const std::vector<std::string>& catalogs);
