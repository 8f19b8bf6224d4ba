#include "model/list_import.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <unordered_map>

#include <nlohmann/json.hpp>

#include "model/item_builder.h"
#include "platform/cp932_codec.h"
#include "platform/real_name.h"

namespace {

struct CRow {
  std::string_view svPath;  // as the list gives it
  bool bFolder = false;
  bool bKnownKind = false;  // else the attributes tell
  bool bSkip = false;       // a row of the set or a catalog
  std::uint64_t nSize = 0;
  std::uint64_t ftModified = 0, ftCreated = 0;
  std::uint32_t dwAttributes = 0;
  std::string strNote;
  std::optional<CFingerprint> optFingerprint;
  CFileInfo::EEntryKind eEntryKind = CFileInfo::EEntryKind::Regular;

  // Empty again, keeping the note's storage for the next row.
  void Reset() {
    svPath = {};
    bFolder = bKnownKind = bSkip = false;
    eEntryKind = CFileInfo::EEntryKind::Regular;
    nSize = ftModified = ftCreated = 0;
    dwAttributes = 0;
    strNote.clear();
    optFingerprint.reset();
  }
};

bool IsAscii(std::string_view text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// Text as names hold it: valid UTF-8 (escapes included) as it is, any other
// byte as its escape.
void NameText(std::string_view raw, std::string& out) {
  out.assign(raw);
  if (!IsAscii(raw) && SanitizeUtf8(raw) != raw) out = EscapeBytes(raw, true);
}

// Reads the CSV records of a text one by one (RFC 4180: quoted fields may
// hold commas, quotes doubled and line breaks).
class CCsvReader {
 public:
  explicit CCsvReader(std::string_view text) : m_text(text) {
    if (m_text.substr(0, 3) == "\xEF\xBB\xBF") m_text.remove_prefix(3);
  }
  enum EResult { End, Record, BadQuoting, TooLong };

  // fields receives views of the text, or of storage for the quoted ones.
  EResult Next(std::vector<std::string_view>& fields, std::deque<std::string>& storage, std::size_t& count,
               std::uint64_t& line) {
    count = 0;
    for (;;) {
      if (m_nAt >= m_text.size()) return End;
      line = m_nLine;
      // Blank lines are no records.
      if (m_text[m_nAt] == '\n' || m_text.compare(m_nAt, 2, "\r\n") == 0) {
        m_nAt += m_text[m_nAt] == '\n' ? 1 : 2;
        ++m_nLine;
        continue;
      }
      break;
    }
    m_nStart = m_nAt;
    for (;;) {
      if (count == fields.size()) fields.emplace_back(), storage.emplace_back();
      std::string_view& field = fields[count];
      if (m_nAt < m_text.size() && m_text[m_nAt] == '"') {
        std::string& quoted = storage[count];
        quoted.clear();
        if (!ReadQuoted(quoted)) return m_nAt - m_nStart > kMaxImportLineBytes ? TooLong : SkipLine();
        field = quoted;
      } else {
        std::size_t stop = m_nAt;
        while (stop < m_text.size() && !IsSpecial(m_text[stop])) ++stop;
        if (stop < m_text.size() && m_text[stop] == '"') return SkipLine();
        field = m_text.substr(m_nAt, stop - m_nAt);
        m_nAt = stop;
      }
      ++count;
      if (m_nAt - m_nStart > kMaxImportLineBytes) return SkipLine(TooLong);
      if (m_nAt >= m_text.size()) return Record;
      const char c = m_text[m_nAt];
      if (c == ',') {
        ++m_nAt;
        continue;
      }
      if (c == '\n' || m_text.compare(m_nAt, 2, "\r\n") == 0) {
        m_nAt += c == '\n' ? 1 : 2;
        ++m_nLine;
        return Record;
      }
      return SkipLine();
    }
  }

 private:
  static bool IsSpecial(char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; }

  // False for a field never closed, or one that would make the record too
  // long to take (m_nAt then stands after it, past its line breaks).
  bool ReadQuoted(std::string& field) {
    ++m_nAt;
    for (;;) {
      const std::size_t quote = m_text.find('"', m_nAt);
      if (quote == std::string_view::npos) return false;
      const std::string_view part = m_text.substr(m_nAt, quote - m_nAt);
      for (const char c : part) m_nLine += c == '\n';
      if (quote - m_nStart > kMaxImportLineBytes) {
        m_nAt = quote + 1;
        SkipLine();
        return false;
      }
      field.append(part);
      m_nAt = quote + 1;
      if (m_nAt < m_text.size() && m_text[m_nAt] == '"') {
        field += '"';
        ++m_nAt;
        continue;
      }
      return true;
    }
  }

  // Passes over the rest of a broken record's line.
  EResult SkipLine(EResult result = BadQuoting) {
    const std::size_t end = m_text.find('\n', m_nAt);
    m_nAt = end == std::string_view::npos ? m_text.size() : end + 1;
    ++m_nLine;
    return result;
  }

  std::string_view m_text;
  std::size_t m_nAt = 0;
  std::size_t m_nStart = 0;  // of the record being read
  std::uint64_t m_nLine = 1;
};

// The index of each wanted column in the header, or -1.
std::vector<int> ColumnsOf(const std::vector<std::string_view>& header, std::size_t count,
                           const std::vector<std::string_view>& wanted) {
  std::vector<int> columns(wanted.size(), -1);
  for (std::size_t i = 0; i < count; ++i)
    for (std::size_t w = 0; w < wanted.size(); ++w)
      if (columns[w] < 0 && header[i] == wanted[w]) columns[w] = int(i);
  return columns;
}

class CImporter {
 public:
  explicit CImporter(const CImportOptions& options) : m_options(options) {
    m_result.catalog = std::make_unique<CDriveFileInfo>(options.strLabel, options.strBase,
                                                        CMediumFacts{std::string(), kMediaImported, 0, 0});
    m_builder = std::make_unique<CItemBuilder>(*m_result.catalog, EBuild::Unique);
  }

  CImportResult Run(std::string_view text) {
    switch (m_options.eFormat) {
      case EListFormat::Csv:
      case EListFormat::Efu: ReadCsv(text); break;
      case EListFormat::Tsv: ReadTsv(text); break;
      case EListFormat::Jsonl: ReadJsonLines(text); break;
      case EListFormat::Find: ReadFind(text); break;
    }
    KeepFingerprints();
    return std::move(m_result);
  }

 private:
  void Problem(std::uint64_t line, EImportProblem what) { m_result.problems.push_back({line, what}); }
  // A row too long to take is a bad one.
  bool TooLong(std::string_view row, std::uint64_t line) {
    if (row.size() <= kMaxImportLineBytes) return false;
    Problem(line, EImportProblem::LineTooLong);
    return true;
  }

  // --- the formats --------------------------------------------------------

  // The fields of the csv and tsv rows, in the order of kListColumns.
  enum {
    COL_CATALOG,
    COL_PATH,
    COL_NAME,
    COL_KIND,
    COL_SIZE,
    COL_MODIFIED,
    COL_CREATED,
    COL_ATTRIBUTES,
    COL_NOTE,
    COL_XXH128
  };

  static std::vector<std::string_view> WantedColumns(EListFormat format) {
    if (format == EListFormat::Efu)
      return {"", "Filename", "", "", "Size", "Date Modified", "Date Created", "Attributes", "", ""};
    return std::vector<std::string_view>(std::begin(kListColumns), std::end(kListColumns));
  }

  void ReadCsv(std::string_view text) {
    CCsvReader reader(text);
    std::vector<std::string_view> fields;
    std::deque<std::string> storage;  // grows without moving what it holds
    std::size_t count = 0;
    std::uint64_t line = 0;
    std::vector<int> columns;
    for (CCsvReader::EResult got; (got = reader.Next(fields, storage, count, line)) != CCsvReader::End;) {
      if (got == CCsvReader::BadQuoting || got == CCsvReader::TooLong) {
        ++m_result.nRows;
        Problem(line, got == CCsvReader::TooLong ? EImportProblem::LineTooLong : EImportProblem::BadQuoting);
        continue;
      }
      if (columns.empty()) {
        columns = ColumnsOf(fields, count, WantedColumns(m_options.eFormat));
        if (columns[COL_PATH] < 0) return Problem(line, EImportProblem::MissingColumn);
        continue;
      }
      ++m_result.nRows;
      TakeFields(fields, count, columns, line);
    }
  }

  void ReadTsv(std::string_view text) {
    std::vector<std::string_view> fields;
    std::deque<std::string> storage;  // grows without moving what it holds
    std::vector<int> columns;
    std::uint64_t line = 0;
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t end = std::min(text.find('\n', at), text.size());
      std::string_view row = text.substr(at, end - at);
      at = end + 1;
      ++line;
      if (!row.empty() && row.back() == '\r') row.remove_suffix(1);
      if (row.empty()) continue;
      if (TooLong(row, line)) {
        ++m_result.nRows;
        continue;
      }
      std::size_t count = 0;
      bool good = true;
      for (std::size_t start = 0;;) {
        const std::size_t tab = row.find('\t', start);
        if (count == fields.size()) fields.emplace_back(), storage.emplace_back();
        const std::string_view field = row.substr(start, tab - start);
        if (field.find('\\') == std::string_view::npos) {
          fields[count] = field;
        } else {
          good = UnescapeTsvField(field, storage[count]) && good;
          fields[count] = storage[count];
        }
        ++count;
        if (tab == std::string_view::npos) break;
        start = tab + 1;
      }
      if (columns.empty()) {
        columns = ColumnsOf(fields, count, WantedColumns(EListFormat::Tsv));
        if (columns[COL_PATH] < 0) return Problem(line, EImportProblem::MissingColumn);
        continue;
      }
      ++m_result.nRows;
      if (!good)
        Problem(line, EImportProblem::BadEscape);
      else
        TakeFields(fields, count, columns, line);
    }
  }

  void TakeFields(const std::vector<std::string_view>& fields, std::size_t count, const std::vector<int>& columns,
                  std::uint64_t line) {
    const auto field = [&](int column) {
      const int at = columns[std::size_t(column)];
      return at >= 0 && std::size_t(at) < count ? fields[std::size_t(at)] : std::string_view();
    };
    const bool efu = m_options.eFormat == EListFormat::Efu;
    CRow& row = m_row;
    row.Reset();
    row.svPath = field(COL_PATH);
    std::uint64_t attributes = 0;
    if (!ParseOptionalDecimal(field(COL_SIZE), row.nSize) ||
        !ParseOptionalDecimal(field(COL_ATTRIBUTES), attributes, UINT32_MAX))
      return Problem(line, EImportProblem::BadNumber);
    row.dwAttributes = std::uint32_t(attributes);
    const bool times =
        efu ? ParseOptionalDecimal(field(COL_MODIFIED), row.ftModified) &&
                  ParseOptionalDecimal(field(COL_CREATED), row.ftCreated)
            : ParseExactTime(field(COL_MODIFIED), row.ftModified) && ParseExactTime(field(COL_CREATED), row.ftCreated);
    if (!times) return Problem(line, EImportProblem::BadTime);
    if (!efu && !TakeKind(field(COL_KIND), row)) return Problem(line, EImportProblem::BadKind);
    if (row.bSkip) return;
    if (!TakeFingerprint(field(COL_XXH128), row)) return Problem(line, EImportProblem::BadFingerprint);
    const std::string_view note = field(COL_NOTE);
    if (IsAscii(note))
      row.strNote.assign(note);
    else
      row.strNote = SanitizeUtf8(note);
    const std::string_view catalog = field(COL_CATALOG);
    if (!catalog.empty() && row.svPath == catalog) return;  // the catalog itself
    if (!catalog.empty() && row.svPath.size() > catalog.size() && row.svPath.compare(0, catalog.size(), catalog) == 0 &&
        row.svPath[catalog.size()] == '\\')
      row.svPath.remove_prefix(catalog.size() + 1);
    AddRow(row, line, '\\');
  }

  static bool ParseOptionalDecimal(std::string_view text, std::uint64_t& out, std::uint64_t max = UINT64_MAX) {
    out = 0;
    return text.empty() || ParseDecimal(text, out, max);
  }

  static bool TakeFingerprint(std::string_view text, CRow& row) {
    if (text.empty()) return true;
    row.optFingerprint = ParseFingerprint(text);
    return row.optFingerprint.has_value();
  }

  static bool TakeKind(std::string_view kind, CRow& row) {
    row.bKnownKind = !kind.empty();
    row.bFolder = kind == "folder";
    row.bSkip = kind == "set" || kind == "catalog";
    return kind.empty() || kind == "file" || row.bFolder || row.bSkip;
  }

  void ReadJsonLines(std::string_view text) {
    std::uint64_t line = 0;
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t end = std::min(text.find('\n', at), text.size());
      const std::string_view row = text.substr(at, end - at);
      at = end + 1;
      ++line;
      if (row.find_first_not_of(" \t\r") == std::string_view::npos) continue;
      ++m_result.nRows;
      if (TooLong(row, line)) continue;
      const nlohmann::json object = nlohmann::json::parse(row, nullptr, false);
      if (!object.is_object()) {
        Problem(line, EImportProblem::BadJson);
        continue;
      }
      TakeJson(object, line);
    }
  }

  void TakeJson(const nlohmann::json& object, std::uint64_t line) {
    const auto text = [&](const char* key, std::string& out) {
      const auto it = object.find(key);
      if (it == object.end() || it->is_null()) return true;
      if (!it->is_string()) return false;
      out = it->get<std::string>();
      return true;
    };
    const auto number = [&](const char* key, std::uint64_t& out) {
      const auto it = object.find(key);
      if (it == object.end() || it->is_null()) return true;
      if (!it->is_number_unsigned()) return false;
      out = it->get<std::uint64_t>();
      return true;
    };
    CRow& row = m_row;
    row.Reset();
    std::string catalog, kind, modified, created, fingerprint;
    if (!object.contains("path") || !text("path", m_pathText) || !text("catalog", catalog) || !text("kind", kind) ||
        !text("modified", modified) || !text("created", created) || !text("note", row.strNote) ||
        !text("xxh128", fingerprint))
      return Problem(line, EImportProblem::BadJson);
    std::uint64_t attributes = 0;
    if (!number("size", row.nSize) || !number("attributes", attributes) || attributes > UINT32_MAX)
      return Problem(line, EImportProblem::BadNumber);
    row.dwAttributes = std::uint32_t(attributes);
    if (!ParseExactTime(modified, row.ftModified) || !ParseExactTime(created, row.ftCreated))
      return Problem(line, EImportProblem::BadTime);
    if (!TakeKind(kind, row)) return Problem(line, EImportProblem::BadKind);
    if (row.bSkip) return;
    if (!TakeFingerprint(fingerprint, row)) return Problem(line, EImportProblem::BadFingerprint);
    row.svPath = m_pathText;
    if (!catalog.empty() && row.svPath.compare(0, catalog.size() + 1, catalog + "\\") == 0)
      row.svPath.remove_prefix(catalog.size() + 1);
    AddRow(row, line, '\\');
  }

  // find -printf '%y\t%s\t%T@\t%P\n': type letter, size, modification time
  // in seconds, the path below the start folder ("" for itself).
  void ReadFind(std::string_view text) {
    std::uint64_t line = 0;
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t end = std::min(text.find('\n', at), text.size());
      const std::string_view rest = text.substr(at, end - at);
      at = end + 1;
      ++line;
      if (rest.empty()) continue;
      ++m_result.nRows;
      if (TooLong(rest, line)) continue;
      std::string_view fields[3];
      std::size_t start = 0;
      bool complete = true;
      for (std::string_view& field : fields) {
        const std::size_t tab = rest.find('\t', start);
        complete = complete && tab != std::string_view::npos;
        if (!complete) break;
        field = rest.substr(start, tab - start);
        start = tab + 1;
      }
      if (!complete) {
        Problem(line, EImportProblem::FieldCount);
        continue;
      }
      TakeFind(fields, rest.substr(start), line);
    }
  }

  void TakeFind(const std::string_view (&fields)[3], std::string_view path, std::uint64_t line) {
    CRow& row = m_row;
    row.Reset();
    if (fields[0].size() != 1 || std::string_view("fdlpscbD").find(fields[0][0]) == std::string_view::npos)
      return Problem(line, EImportProblem::BadKind);
    if (!ParseDecimal(fields[1], row.nSize)) return Problem(line, EImportProblem::BadNumber);
    if (!ParseUnixSeconds(fields[2], row.ftModified)) return Problem(line, EImportProblem::BadTime);
    if (path.empty()) return;  // the start folder
    // As a scan records them: the creation time unknown, links and special
    // files with their own type, sizes of regular files and links (a
    // link's own: find does not follow it) only.
    const char type = fields[0][0];
    row.bKnownKind = true;
    row.bFolder = type == 'd';
    row.ftCreated = row.ftModified;
    if (type != 'f' && type != 'l') row.nSize = 0;
    row.dwAttributes = row.bFolder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if (type == 'l') row.dwAttributes |= FILE_ATTRIBUTE_REPARSE_POINT;
    if (type != 'f' && type != 'd' && type != 'l') row.dwAttributes |= FILE_ATTRIBUTE_SYSTEM;
    row.eEntryKind = type == 'l'                  ? CFileInfo::EEntryKind::Link
                     : type != 'f' && type != 'd' ? CFileInfo::EEntryKind::Special
                                                  : CFileInfo::EEntryKind::Regular;
    const std::size_t slash = path.rfind('/');
    if (path[slash == std::string_view::npos ? 0 : slash + 1] == '.') row.dwAttributes |= FILE_ATTRIBUTE_HIDDEN;
    row.svPath = path;
    AddRow(row, line, '/');
  }

  // The catalog keys fingerprints by the items' places in its finished tree.
  void KeepFingerprints() {
    if (m_fingerprints.empty()) return;
    std::unordered_map<const CFileInfo*, CFingerprint> byItem(m_fingerprints.begin(), m_fingerprints.end());
    std::vector<std::pair<std::uint32_t, CFingerprint>> table;
    ForItemsWithOffsets(*m_result.catalog, [&](const CFileInfo& item, std::uint32_t offset) {
      const auto found = byItem.find(&item);
      if (found != byItem.end()) table.emplace_back(offset, found->second);
    });
    m_result.catalog->m_fingerprints.Add(std::move(table));
  }

  // --- the tree -----------------------------------------------------------

  // A name of a path as an item holds it: a real name from find is bytes, a
  // list's is text, escapes included. The builder holds it to the rule.
  static void TakeName(std::string_view name, char separator, std::string& out) {
    if (separator == '/')
      out = ItemNameOf(name);
    else
      NameText(name, out);
  }

  void AddRow(CRow& row, std::uint64_t line, char separator) {
    if (row.svPath.find('\0') != std::string_view::npos || row.strNote.find('\0') != std::string::npos)
      return Problem(line, EImportProblem::NulCharacter);
    std::string_view path = row.svPath;
    const std::string& base = m_options.strBase;
    if (separator == '\\' && !base.empty() && path.size() > base.size() && path.compare(0, base.size(), base) == 0 &&
        (path[base.size()] == '\\' || path[base.size()] == '/'))
      path.remove_prefix(base.size() + 1);
    std::size_t count = 0;
    for (std::size_t start = 0;;) {
      if (count == std::size_t(kMaxDepth)) return Problem(line, EImportProblem::TooDeep);
      const std::size_t end = path.find(separator, start);
      if (count == m_names.size()) m_names.emplace_back();
      TakeName(path.substr(start, end - start), separator, m_names[count++]);
      if (end == std::string_view::npos) break;
      start = end + 1;
    }
    const bool noteCut = CheckItemNote(row.strNote) == ETextCheck::Cut;

    const bool folder = row.bKnownKind ? row.bFolder : (row.dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    CFindData& record = m_record;
    record.dwFileAttributes = folder ? row.dwAttributes | FILE_ATTRIBUTE_DIRECTORY
                                     : row.dwAttributes & ~std::uint32_t(FILE_ATTRIBUTE_DIRECTORY);
    record.ftLastWriteTime = row.ftModified;
    record.ftCreationTime = row.ftCreated;
    record.SetSize(folder ? 0 : row.nSize);
    CFileInfo* item = nullptr;
    switch (m_builder->Add(m_names, count, record, &item)) {
      case EBuilt::Made: break;
      case EBuilt::NameCut: m_result.cuts.push_back({line, EImportProblem::NameCut}); break;
      case EBuilt::BadName: return Problem(line, EImportProblem::BadPath);
      case EBuilt::NameMerges: return Problem(line, EImportProblem::NameMerges);
      case EBuilt::TooDeep: return Problem(line, EImportProblem::TooDeep);
      case EBuilt::PathTooLong: return Problem(line, EImportProblem::PathTooLong);
      case EBuilt::TooMany:  // no count is set
      case EBuilt::Duplicate: return Problem(line, EImportProblem::Duplicate);
      case EBuilt::UnderAFile: return Problem(line, EImportProblem::UnderAFile);
    }
    if (noteCut) m_result.cuts.push_back({line, EImportProblem::NoteCut});
    item->SetEntryKind(row.eEntryKind);
    if (!row.strNote.empty()) item->SetNoteText(row.strNote);
    if (row.optFingerprint && !folder) m_fingerprints.emplace_back(item, *row.optFingerprint);
  }

  const CImportOptions& m_options;
  CImportResult m_result;
  CRow m_row;
  CFindData m_record;
  std::string m_pathText;
  std::vector<std::string> m_names;         // of the row's path, their storage kept from row to row
  std::unique_ptr<CItemBuilder> m_builder;  // of the catalog, which m_result holds
  std::vector<std::pair<const CFileInfo*, CFingerprint>> m_fingerprints;
};

}  // namespace

CImportResult ImportItemList(std::string_view text, const CImportOptions& options) {
  return CImporter(options).Run(text);
}
