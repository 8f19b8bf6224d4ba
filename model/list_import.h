#pragma once
// Importing a plain file list (list_format.h) as a new catalog. The list is
// read whole into a catalog of its own before anything else sees it, so a
// caller adds all of it or nothing.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/drive_file_info.h"
#include "model/list_format.h"
#include "platform/media_type.h"

enum class EImportProblem {
  BadQuoting,      // a quote where none may stand, or one never closed
  BadEscape,       // a "\" in tsv not followed by \, t, r or n
  BadJson,         // not a JSON object, or a field of the wrong type
  BadNumber,       // a size or attributes that is no decimal
  BadTime,         // a time that is not one, or before 1601
  BadFingerprint,  // an xxh128 that is not 32 hex digits
  BadKind,         // a kind other than file and folder, or a find type letter
  BadPath,         // empty, or with an empty name, ".", "..", or a name holding "/"
  Duplicate,       // a second row for the same path
  UnderAFile,      // a path below one that is a file
  MissingColumn,   // the header lacks the path column
  FieldCount,      // a find line without its four fields
  NulCharacter,    // a name or a note holding a NUL, which no file system or set holds
  TooDeep,         // more names than kMaxDepth (limits.h)
  PathTooLong,     // a path longer than kMaxPathBytes
  NameMerges,      // a name too long to keep whole whose cut form another name has
  LineTooLong,     // a row longer than kMaxImportLineBytes
  // Rows kept with a change (CImportResult::cuts), not bad ones:
  NameCut,  // a name cut at kMaxNameBytes
  NoteCut,  // a note cut at kMaxNoteBytes
};

struct CImportProblem {
  std::uint64_t nLine;  // where the row starts, from 1
  EImportProblem eWhat;
};

struct CImportOptions {
  EListFormat eFormat = EListFormat::Csv;
  std::string strLabel;
  // The catalog's base path; a row's path that starts with it and a
  // separator is taken below it (the full paths of an efu list).
  std::string strBase;
};

struct CImportResult {
  // The catalog of the good rows, with the media type kMediaImported;
  // folders that only appear as parents of other rows are made.
  std::unique_ptr<CDriveFileInfo> catalog;
  std::vector<CImportProblem> problems;
  std::vector<CImportProblem> cuts;  // rows kept with a name or note cut to fit (NameCut, NoteCut)
  std::uint64_t nRows = 0;           // rows read, bad ones included
};

// Reads text, the whole list, in options.eFormat. csv and tsv need their
// header row; their path column is a logical path, its catalog part (the
// catalog column, as exported) dropped; rows of the set and of catalogs (a
// find --json listing) are passed over.
CImportResult ImportItemList(std::string_view text, const CImportOptions& options);
