#include "model/list_export.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>

#include "model/item_json.h"
#include "model/item_real_name.h"
#include "model/root_file_info.h"
#include "platform/atomic_file.h"

namespace {

constexpr std::size_t kFlushAt = 1 << 20;
constexpr std::uint64_t kProgressEvery = 4096;

class CListWriter {
 public:
  CListWriter(int fd, CListStyle style, CWorkProgress* progress)
      : m_fd(fd), m_eFormat(style.eFormat), m_bSpreadsheetSafe(style.bSpreadsheetSafe), m_pProgress(progress) {}

  bool Write(const CRootFileInfo& set, const std::vector<std::string>* catalogs) {
    std::vector<const CDriveFileInfo*> chosen;
    for (const auto& child : set.Children()) {
      if (!child->IsCatalog()) continue;
      if (catalogs != nullptr && std::find(catalogs->begin(), catalogs->end(), child->GetName()) == catalogs->end())
        continue;
      chosen.push_back(static_cast<const CDriveFileInfo*>(child.get()));
    }
    if (m_pProgress != nullptr) {
      std::uint64_t total = 0;
      for (const CDriveFileInfo* catalog : chosen) total += CountItemsBelow(*catalog);
      m_pProgress->nTotal.store(total);
    }
    m_bBelowLabel = chosen.size() != 1;
    WriteHeader();
    for (const CDriveFileInfo* catalog : chosen) {
      if (m_eFormat == EListFormat::Jsonl)
        WriteJsonLines(set, *catalog);
      else
        WriteRows(*catalog);
      if (!m_bOk || Cancelled()) return false;
    }
    return Flush() && !Cancelled();
  }

 private:
  bool Cancelled() const { return m_pProgress != nullptr && m_pProgress->Cancelled(); }

  void WriteHeader() {
    if (m_eFormat == EListFormat::Efu) {
      m_buffer = "Filename,Size,Date Modified,Date Created,Attributes\r\n";
    } else if (m_eFormat == EListFormat::Csv || m_eFormat == EListFormat::Tsv) {
      const bool csv = m_eFormat == EListFormat::Csv;
      if (csv) m_buffer = "\xEF\xBB\xBF";
      for (const char* column : kListColumns) {
        if (column != kListColumns[0]) m_buffer += csv ? ',' : '\t';
        m_buffer += column;
      }
      m_buffer += csv ? "\r\n" : "\n";
    }
  }

  // One item done: the buffer goes out when full, and progress moves on.
  bool Done() {
    if (m_buffer.size() >= kFlushAt && !Flush()) return false;
    if (m_pProgress != nullptr && ++m_nDone % kProgressEvery == 0) {
      m_pProgress->nDone.store(m_nDone, std::memory_order_relaxed);
      if (Cancelled()) return false;
    }
    return true;
  }

  void WriteRows(const CDriveFileInfo& catalog) {
    const std::string label(catalog.GetName());
    const std::string top = catalog.PathUnder({});
    std::string path;
    std::uint32_t offset = 0;  // the fingerprint table's key
    // The path below the label, for efu; the logical path starts with it.
    const std::size_t skip = m_eFormat == EListFormat::Efu && !m_bBelowLabel ? top.size() + 1 : 0;
    WalkBelow(catalog, top, [&](const CFileInfo& item, const CWalkPath& parent) {
      if (!m_bOk) return;
      parent.PathOf(item, path);
      ++offset;
      if (m_eFormat == EListFormat::Efu)
        WriteEfuRow(item, std::string_view(path).substr(std::min(skip, path.size())));
      else
        WriteRow(item, label, path,
                 catalog.m_fingerprints.Empty() ? std::nullopt : catalog.m_fingerprints.Find(offset));
      m_bOk = Done();
    });
  }

  void WriteRow(const CFileInfo& item, const std::string& label, const std::string& path,
                const std::optional<CFingerprint>& fingerprint) {
    const bool csv = m_eFormat == EListFormat::Csv;
    std::string guarded;
    const auto text = [&](std::string_view field) {
      if (m_bSpreadsheetSafe && RunsAsFormula(field)) {
        guarded.assign(1, '\'').append(field);
        field = guarded;
      }
      if (csv)
        AppendCsvField(field, m_buffer);
      else
        AppendTsvField(field, m_buffer);
      m_buffer += csv ? ',' : '\t';
    };
    const auto number = [&](std::uint64_t value) {
      AppendDecimal(value, m_buffer);
      m_buffer += csv ? ',' : '\t';
    };
    text(label);
    text(path);
    text(item.GetName());
    text(ItemKindName(item));
    number(item.GetSize());
    // Times hold digits and signs only: no quoting or escapes needed.
    AppendExactTime(item.WriteFileTime(), m_buffer);
    m_buffer += csv ? ',' : '\t';
    AppendExactTime(item.CreationFileTime(), m_buffer);
    m_buffer += csv ? ',' : '\t';
    number(item.RecordAttributes());
    text(item.GetNote());
    if (fingerprint) m_buffer += fingerprint->Hex();
    m_buffer += csv ? "\r\n" : "\n";
  }

  // Everything's list: full (here relative) names always quoted, sizes in
  // bytes (none for a folder, whose size is not kept), times as file times.
  void WriteEfuRow(const CFileInfo& item, std::string_view path) {
    AppendCsvField(path, m_buffer, true);
    m_buffer += ',';
    if (!item.IsContainer()) AppendDecimal(item.GetSize(), m_buffer);
    for (const std::uint64_t time : {item.WriteFileTime(), item.CreationFileTime()}) {
      m_buffer += ',';
      if (time != 0) AppendDecimal(time, m_buffer);
    }
    m_buffer += ',';
    AppendDecimal(item.RecordAttributes(), m_buffer);
    m_buffer += "\r\n";
  }

  void WriteJsonLines(const CRootFileInfo& set, const CDriveFileInfo& catalog) {
    std::vector<const CFileInfo*> items;
    std::vector<std::string> paths;
    WalkBelow(catalog, catalog.PathUnder({}), [&](const CFileInfo& item, const CWalkPath& parent) {
      items.push_back(&item);
      paths.push_back(parent.PathOf(item));
    });
    const std::vector<std::optional<std::string>> real = RealPathsOfItems(set, items);
    const std::vector<std::optional<CFingerprint>> fingerprints = FingerprintsOfItems(set, items);
    const std::string label(catalog.GetName());
    for (std::size_t i = 0; i < items.size() && m_bOk; ++i) {
      m_buffer += JsonLine(ItemJson(*items[i], paths[i], label, real[i], fingerprints[i], EJsonTimes::Exact));
      m_bOk = Done();
    }
  }

  bool Flush() {
    for (std::size_t done = 0; done < m_buffer.size() && m_bOk;) {
      const ssize_t n = ::write(m_fd, m_buffer.data() + done, m_buffer.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0)
        m_bOk = false;
      else
        done += std::size_t(n);
    }
    m_buffer.clear();
    return m_bOk;
  }

  int m_fd;
  EListFormat m_eFormat;
  bool m_bSpreadsheetSafe;
  CWorkProgress* m_pProgress;
  bool m_bBelowLabel = true;
  bool m_bOk = true;
  std::uint64_t m_nDone = 0;
  std::string m_buffer;
};

}  // namespace

bool WriteItemList(int fd, const CRootFileInfo& set, const std::vector<std::string>* catalogs, CListStyle style,
                   CWorkProgress* progress) {
  if (style.eFormat == EListFormat::Find) return false;
  return CListWriter(fd, style, progress).Write(set, catalogs);
}

bool WriteItemListFile(const std::string& path, const CRootFileInfo& set, const std::vector<std::string>* catalogs,
                       CListStyle style, ESetFileError* pError, CWorkProgress* progress) {
  CAtomicFile file(path);
  int error = file.Open();
  errno = 0;
  if (error == 0 && !WriteItemList(file.Fd(), set, catalogs, style, progress))
    error = progress != nullptr && progress->Cancelled() ? ECANCELED : errno != 0 ? errno : EIO;
  if (error == 0) error = file.Commit();
  if (pError) *pError = error == 0 ? ESetFileError::None : WriteErrorFromErrno(error);
  return error == 0;
}

std::vector<std::string> MissingCatalogs(const CRootFileInfo& set, const std::vector<std::string>& catalogs) {
  std::vector<std::string> missing;
  for (const std::string& label : catalogs) {
    const auto& children = set.Children();
    if (std::none_of(children.begin(), children.end(),
                     [&](const auto& child) { return child->IsCatalog() && child->GetName() == label; }))
      missing.push_back(label);
  }
  return missing;
}
