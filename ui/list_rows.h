#pragma once
// The rows of the list view, kept by the view in list order, and the rules
// that order them. The list control only shows these rows; sorting,
// searching and the row kinds are decided here, without a window.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "model/item_summary.h"

class CRootFileInfo;

enum EListColumn : int {
  LIST_COLUMN_NAME = 0,
  LIST_COLUMN_SIZE = 1,
  LIST_COLUMN_KIND = 2,
  LIST_COLUMN_DATE = 3,
  LIST_COLUMN_NOTE = 4,
  LIST_COLUMN_COUNT = 5,
};

struct CListRow {
  std::string m_strName;
  std::string m_strSize;  // empty for folders
  std::string m_strKind;
  std::string m_strDate;  // "%Y/%m/%d %H:%M", local time
  std::string m_strNote;
  std::string m_strNameKey;     // FoldedSortKey of the name
  std::uint64_t m_nSize = 0;    // the size sort key: the item's size in bytes
  std::int64_t m_nDateKey = 0;  // DateCellKey of the date cell
  int m_nImage = 0;
  bool m_bFolder = false;   // a folder below a catalog
  bool m_bCatalog = false;  // a catalog, at the set level
  bool m_bArchive = false;  // an archive whose members were listed: opened like a folder
};

// The text of one cell.
const std::string& CellText(const CListRow& row, int column);

// A time as the date column shows it; empty when it has no local form.
std::string FormatDateCell(CTime time);

// The date column's text read back as a comparable local date and minute:
// year (above 1899), month, day, and when a blank follows, hour and minute.
// A zero month or day ends the reading; what was read so far counts.
// Unreadable text gives -1, before every real date.
std::int64_t DateCellKey(std::string_view text);

// A key whose byte order is the case-blind order of texts: every character
// folded as the search folds it, then put as its CP932 code in three bytes.
std::string FoldedSortKey(std::string_view text);

// The list's comparison of two rows for a sort column (0 name, 1 size,
// 2 kind, 3 date, 4 note): folders first whatever the direction; then the
// column in the direction; ties of size, kind, date and note by name,
// always ascending. Any other column leaves rows equal
// except for folders first. <0, 0, >0.
int CompareListRows(const CListRow& a, const CListRow& b, int column, bool ascending);

// Sorts rows stably by CompareListRows; returns, for each new position, the
// position the row had before.
std::vector<std::size_t> SortListRows(std::vector<CListRow>& rows, int column, bool ascending);

// A row for one child record. setLevel: the children of the set, which are
// all catalogs. size: the child's size in bytes.
CListRow MakeListRow(CItemSummary&& record, std::uint64_t size, bool setLevel, int image);

// The image of a child record: (record, setLevel) -> image index.
using CRowImageFor = std::function<int(const CItemSummary&, bool)>;

// The rows of the children of path, in the set's order; false (rows
// untouched) when path names no container.
bool BuildListRows(const CRootFileInfo& set, const std::string& path, const CRowImageFor& imageFor,
                   std::vector<CListRow>& rows);

// The first row named name: an exact match first, else the first one equal
// without regard to case; -1 when none.
long FindRowByName(const std::vector<CListRow>& rows, const std::string& name);
