#include "ui/list_rows.h"

#include <algorithm>
#include <ctime>
#include <numeric>

#include "model/file_info.h"
#include "model/root_file_info.h"
#include "platform/cp932_codec.h"

namespace {

int CompareKeys(const std::string& a, const std::string& b) {
  const int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// The comparison itself. aText and bText are the folded cells of the kind or
// note column when that is the sort column, unused otherwise.
int CompareWithKeys(const CListRow& a, const std::string& aText, const CListRow& b, const std::string& bText,
                    int column, bool ascending) {
  if (a.m_bFolder != b.m_bFolder) return a.m_bFolder ? -1 : 1;
  const int d = ascending ? 1 : -1;
  switch (column) {
    case LIST_COLUMN_NAME: return d * CompareKeys(a.m_strNameKey, b.m_strNameKey);
    case LIST_COLUMN_SIZE:
      if (a.m_nSize != b.m_nSize) return a.m_nSize < b.m_nSize ? -d : d;
      return CompareKeys(a.m_strNameKey, b.m_strNameKey);
    case LIST_COLUMN_KIND:
    case LIST_COLUMN_NOTE:
      if (const int c = CompareKeys(aText, bText)) return d * c;
      return CompareKeys(a.m_strNameKey, b.m_strNameKey);
    case LIST_COLUMN_DATE:
      // Equal minutes go by name: their order must not be the disk's.
      if (a.m_nDateKey != b.m_nDateKey) return a.m_nDateKey < b.m_nDateKey ? -d : d;
      return CompareKeys(a.m_strNameKey, b.m_strNameKey);
    default: return 0;
  }
}

bool HasTextKey(int column) { return column == LIST_COLUMN_KIND || column == LIST_COLUMN_NOTE; }

// Reads the decimal digits at pos; 0 when there are none.
int ReadNumber(std::string_view text, std::size_t& pos) {
  int value = 0;
  for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos)
    if (value < 100000) value = value * 10 + (text[pos] - '0');
  return value;
}

std::int64_t PackDate(int year, int month, int day, int hour, int minute) {
  return (((std::int64_t(year) * 13 + month) * 32 + day) * 25 + hour) * 61 + minute;
}

}  // namespace

const std::string& CellText(const CListRow& row, int column) {
  static const std::string kEmpty;
  switch (column) {
    case LIST_COLUMN_NAME: return row.m_strName;
    case LIST_COLUMN_SIZE: return row.m_strSize;
    case LIST_COLUMN_KIND: return row.m_strKind;
    case LIST_COLUMN_DATE: return row.m_strDate;
    case LIST_COLUMN_NOTE: return row.m_strNote;
  }
  return kEmpty;
}

std::string FormatDateCell(CTime time) {
  if (time == kInvalidTime) return {};
  const std::time_t t = std::time_t(time);
  std::tm local{};
  if (localtime_r(&t, &local) == nullptr) return {};
  char buffer[32];
  const std::size_t n = std::strftime(buffer, sizeof buffer, "%Y/%m/%d %H:%M", &local);
  return std::string(buffer, n);
}

namespace {

// The date cell's key, reading years from firstYear on.
std::int64_t ReadDateKey(std::string_view text, int firstYear) {
  std::size_t pos = 0;
  const int year = ReadNumber(text, pos);
  if (year < firstYear || pos >= text.size() || text[pos] != '/') return -1;
  int month = 0, day = 0, hour = 0, minute = 0;
  ++pos;
  month = ReadNumber(text, pos);
  if (month != 0 && pos < text.size() && text[pos] == '/') {
    ++pos;
    day = ReadNumber(text, pos);
    if (day != 0 && pos < text.size() && text[pos] == ' ') {
      ++pos;
      hour = ReadNumber(text, pos);
      if (pos < text.size() && text[pos] == ':') {
        ++pos;
        minute = ReadNumber(text, pos);
      }
    }
  }
  return PackDate(year, month, day, hour, minute);
}

}  // namespace

std::int64_t DateCellKey(std::string_view text) { return ReadDateKey(text, 1900); }

std::string FoldedSortKey(std::string_view text) {
  std::string key;
  key.reserve(text.size() * 3);
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::uint32_t code = Cp932SortKey(FoldCaseChar(NextUtf8Char(text, pos)));
    key += char((code >> 16) & 0xFF);
    key += char((code >> 8) & 0xFF);
    key += char(code & 0xFF);
  }
  return key;
}

int CompareListRows(const CListRow& a, const CListRow& b, int column, bool ascending) {
  if (!HasTextKey(column)) return CompareWithKeys(a, {}, b, {}, column, ascending);
  return CompareWithKeys(a, FoldedSortKey(CellText(a, column)), b, FoldedSortKey(CellText(b, column)), column,
                         ascending);
}

std::vector<std::size_t> SortListRows(std::vector<CListRow>& rows, int column, bool ascending) {
  std::vector<std::size_t> order(rows.size());
  std::iota(order.begin(), order.end(), std::size_t(0));
  std::vector<std::string> texts;
  if (HasTextKey(column)) {
    texts.reserve(rows.size());
    for (const CListRow& row : rows) texts.push_back(FoldedSortKey(CellText(row, column)));
  }
  static const std::string kNone;
  auto textOf = [&texts](std::size_t i) -> const std::string& { return texts.empty() ? kNone : texts[i]; };
  std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
    return CompareWithKeys(rows[x], textOf(x), rows[y], textOf(y), column, ascending) < 0;
  });
  std::vector<CListRow> sorted;
  sorted.reserve(rows.size());
  for (std::size_t from : order) sorted.push_back(std::move(rows[from]));
  rows = std::move(sorted);
  return order;
}

CListRow MakeListRow(CItemSummary&& record, std::uint64_t size, bool setLevel, int image) {
  CListRow row;
  row.m_strName = std::move(record.m_strName);
  row.m_bCatalog = setLevel;
  row.m_bFolder = !setLevel && record.m_bContainer;
  row.m_bArchive = record.m_bArchive;
  if (!row.m_bFolder) row.m_strSize = std::move(record.m_strSize);
  row.m_strKind = std::move(record.m_strTypeName);
  row.m_strDate = FormatDateCell(record.m_timeModified);
  row.m_strNote = std::move(record.m_strNote);
  row.m_strNameKey = FoldedSortKey(row.m_strName);
  row.m_nSize = size;
  // The view's own cells hold every year a file time can (from 1601 on).
  row.m_nDateKey = ReadDateKey(row.m_strDate, 1);
  row.m_nImage = image;
  return row;
}

bool BuildListRows(const CRootFileInfo& set, const std::string& path, const CRowImageFor& imageFor,
                   std::vector<CListRow>& rows) {
  CItemSummaryList records;
  if (!set.ListChildren(path, records, false)) return false;
  // The records carry sizes only as text; the sizes in bytes come from the
  // same children, listed in the same order.
  const CFileInfo* container = FindByPath(static_cast<const CFileInfo*>(&set), path);
  const std::vector<std::unique_ptr<CFileInfo>>* children = nullptr;
  if (const CFolderFileInfo* folder = container != nullptr ? container->AsContainer() : nullptr) {
    children = &folder->Children();
    if (children->size() != records.size()) children = nullptr;
  }
  const bool setLevel = path.empty();
  rows.clear();
  rows.reserve(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    CItemSummary& record = *records[i];
    const std::uint64_t size = children ? (*children)[i]->GetSize() : 0;
    const int image = imageFor(record, setLevel);
    rows.push_back(MakeListRow(std::move(record), size, setLevel, image));
  }
  return true;
}

long FindRowByName(const std::vector<CListRow>& rows, const std::string& name) {
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (rows[i].m_strName == name) return long(i);
  const std::string key = FoldedSortKey(name);
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (rows[i].m_strNameKey == key) return long(i);
  return -1;
}
