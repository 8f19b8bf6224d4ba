// The HTML report of a catalog set: a head with the set's table, then per
// catalog a numbered section and, folder by folder, tables of the files.

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "model/root_file_info.h"
#include "model/text_format.h"
#include "platform/atomic_file.h"
#include "platform/cp932_codec.h"

namespace {

// Widths of the file table's columns: name, kind, size, created, modified,
// attribute, note.
constexpr int kFileColumnWidths[] = {150, 100, 70, 100, 100, 100, 200};
const char* const kFileColumnLabels[] = {"名前", "種類", "サイズ", "作成日時", "更新日時", "属性", "ノート"};

// Text from the set is data, never markup; bytes that are no text show as
// in the views.
std::string Escape(std::string_view stored) {
  const std::string text = DisplayName(stored);
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

// Names in the order of their CP932 character codes; a character CP932
// cannot hold comes after all others.
bool NameLess(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const std::uint32_t ka = Cp932SortKey(NextUtf8Char(a, i));
    const std::uint32_t kb = Cp932SortKey(NextUtf8Char(b, j));
    if (ka != kb) return ka < kb;
  }
  return i == a.size() && j < b.size();
}

class CHtmlReportWriter {
 public:
  CHtmlReportWriter(int fd, const CatalogOutOptions& options, CWorkProgress* progress)
      : m_fd(fd), m_options(options), m_pProgress(progress) {}

  // False when the file could not be written or the work was cancelled.
  bool Write(const CRootFileInfo& set, const std::vector<std::string>* catalogs) {
    std::vector<const CFolderFileInfo*> chosen;
    for (const auto& child : set.Children()) {
      if (!child->IsContainer()) continue;
      if (catalogs != nullptr && std::find(catalogs->begin(), catalogs->end(), child->GetName()) == catalogs->end())
        continue;
      chosen.push_back(static_cast<const CFolderFileInfo*>(child.get()));
    }
    if (m_pProgress != nullptr) {
      std::uint64_t total = 0;
      for (const CFolderFileInfo* catalog : chosen) total += CountItemsBelow(*catalog) + 1;
      m_pProgress->nTotal.store(total);
    }
    WriteHtmlHead(set);
    for (const CFolderFileInfo* catalog : chosen) {
      if (Cancelled()) return false;
      WriteFolderSection(*catalog, catalog->PathUnder({}));
    }
    Emit("</body>\n</html>\n");
    return Flush() && !Cancelled();
  }

 private:
  using CWidths = std::vector<int>;

  bool Cancelled() const { return m_pProgress != nullptr && m_pProgress->Cancelled(); }

  // Counts the node and its children as done.
  void CountDone(const CFolderFileInfo& node) {
    if (m_pProgress != nullptr)
      m_pProgress->nDone.fetch_add(node.Children().size() + (node.IsCatalog() ? 1 : 0), std::memory_order_relaxed);
  }

  void Emit(std::string_view text) {
    m_text.append(text);
    if (m_text.size() >= (1u << 20)) Flush();
  }

  // Encodes the collected text to CP932 with CR LF line ends and writes it.
  bool Flush() {
    std::string bytes, one;
    bytes.reserve(m_text.size() + m_text.size() / 8);
    for (std::size_t pos = 0; pos < m_text.size();) {
      const std::size_t start = pos;
      const char32_t c = NextUtf8Char(m_text, pos);
      if (c == '\n') {
        bytes += "\r\n";
      } else if (c < 0x80) {
        bytes += char(c);
      } else if (Utf8ToCp932(std::string_view(m_text).substr(start, pos - start), one)) {
        bytes += one;
      } else {
        bytes += "&#" + std::to_string(std::uint32_t(c)) + ";";
      }
    }
    m_text.clear();
    for (std::size_t done = 0; done < bytes.size() && m_bOk;) {
      const ssize_t n = ::write(m_fd, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0)
        m_bOk = false;
      else
        done += std::size_t(n);
    }
    return m_bOk;
  }

  void WriteRow(const std::vector<std::string>& cells, const CWidths& widths) {
    Emit("<tr>\n");
    for (std::size_t i = 0; i < cells.size(); ++i) {
      const std::string text = cells[i].empty() ? std::string("　") : Escape(cells[i]);
      if (i < widths.size() && widths[i] > 0)
        Emit("<td width=\"" + std::to_string(widths[i]) + "\">" + text + "</td>");
      else
        Emit("<td>" + text + "</td>\n");
    }
    Emit("</tr>\n");
  }

  void WriteHtmlHead(const CRootFileInfo& set) {
    CPropInfoData info;
    set.GetInfo(info, {});
    const std::string name = Escape(info.m_strName);
    Emit(
        "<html><head>\n\t\t\t\t<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\n"
        "\t\t\t\t<meta name=\"GENERATOR\" content=\"Quarrix\">\n\t\t\t\t<title>" +
        name + "のカタログ情報</title>\n\t\t\t\t</head>\n\t\t\t\t<body bgcolor=\"#FFFFFF\">\n\t\t\t\t<h1>" + name +
        "のカタログ情報</h1>\n");
    Emit("<table border=\"1\">\n");
    WriteRow({"カタログセット名", info.m_strName}, {});
    WriteRow({"作成日時", info.m_strCreated}, {});
    WriteRow({"カタログの個数", std::to_string(set.GetCatalogCount())}, {});
    const auto& catalogs = set.Children();
    if (!catalogs.empty()) {
      // The label cell spans one row per catalog.
      Emit("<tr>\n<td valign=\"top\" rowspan=\"" + std::to_string(catalogs.size()) +
           "\">カタログ一覧</td>\n\t\t\t\t\t\t\t\t <td>" + Escape(catalogs.front()->GetName()) + "</td>\n</tr>\n");
      for (std::size_t i = 1; i < catalogs.size(); ++i) WriteRow({std::string(catalogs[i]->GetName())}, {});
    }
    Emit("</table>\n");
  }

  void WriteCatalogHeading(const CFolderFileInfo& catalog) {
    CPropInfoData info;
    catalog.GetInfo(info, {});
    Emit("<hr>\n<h2>" + std::to_string(m_nCatalog++) + ". " + Escape(catalog.GetName()) + " カタログ</h2>\n");
    Emit("<table border=\"1\">\n");
    const CWidths widths{0, 300};
    WriteRow({"マシン名", info.m_strMachine}, widths);
    WriteRow({"メディアの種類", info.m_strMedia}, widths);
    WriteRow({"カタログ化されたパス", info.m_strBasePath}, widths);
    WriteRow({"作成日時", info.m_strCreated}, widths);
    WriteRow({"カタログの合計サイズ", info.m_strSize}, widths);
    WriteRow({"メディアの合計サイズ", info.m_strTotalSpace}, widths);
    WriteRow({"メディアの空き領域", info.m_strFreeSpace}, widths);
    Emit("</table>\n");
  }

  void WriteFolderHeading(const CFileInfo& folder, const std::string& path) {
    Emit((folder.IsContainer() ? "<h3>●フォルダ " : "<h3>●アーカイブ ") + Escape(path) + "</h3>");
    if (!m_options.createTime && !m_options.attribute && !m_options.note) return;
    Emit("<table border=\"1\">\n");
    const CWidths widths{0, 200};
    if (m_options.createTime) WriteRow({"作成日時", FormatTime(folder.GetCreatedTime())}, widths);
    if (m_options.attribute) WriteRow({"属性", FormatAttributes(folder.GetAttributes())}, widths);
    if (m_options.note) WriteRow({"ノート", folder.GetNote()}, widths);
    Emit("</table>\n");
  }

  std::vector<bool> PresentColumns() const {
    return {true,
            m_options.kind != 0,
            m_options.size != 0,
            m_options.createTime != 0,
            m_options.modifiedTime != 0,
            m_options.attribute != 0,
            m_options.note != 0};
  }

  void WriteFileRow(const CFileInfo& file, const std::vector<bool>& present, const CWidths& widths) {
    CPropInfoData info;
    file.GetInfo(info, {});
    const std::string* values[] = {&info.m_strName,     &info.m_strKind,       &info.m_strSize, &info.m_strCreated,
                                   &info.m_strModified, &info.m_strAttributes, &info.m_strNote};
    std::vector<std::string> cells;
    for (std::size_t i = 0; i < present.size(); ++i)
      if (present[i]) cells.push_back(*values[i]);
    WriteRow(cells, widths);
  }

  void WriteFileTable(const std::vector<const CFileInfo*>& files) {
    Emit("<h4>このフォルダに含まれるファイル情報：</h4>\n");
    Emit("<table border=\"1\">\n");
    const std::vector<bool> present = PresentColumns();
    CWidths widths;
    std::vector<std::string> labels;
    for (std::size_t i = 0; i < present.size(); ++i) {
      if (!present[i]) continue;
      widths.push_back(kFileColumnWidths[i]);
      labels.push_back(kFileColumnLabels[i]);
    }
    WriteRow(labels, widths);
    for (const CFileInfo* file : files) WriteFileRow(*file, present, widths);
    Emit("</table>\n");
  }

  // A node's heading and file table; its folders in name order, to be
  // written after it.
  // item is the folder, or the archive whose members node holds.
  using CNode = std::pair<const CFileInfo*, const CFolderFileInfo*>;
  std::vector<CNode> WriteNode(const CFileInfo& item, const CFolderFileInfo& node, const std::string& path) {
    CountDone(node);
    if (node.IsCatalog())
      WriteCatalogHeading(node);
    else
      WriteFolderHeading(item, path);
    std::vector<const CFileInfo*> files;
    std::vector<CNode> folders;
    for (const auto& child : node.Children()) {
      if (child->IsContainer()) {
        folders.emplace_back(child.get(), static_cast<const CFolderFileInfo*>(child.get()));
        continue;
      }
      files.push_back(child.get());
      if (m_options.members && child->Members() != nullptr) folders.emplace_back(child.get(), child->Members());
    }
    auto byName = [](const CFileInfo* a, const CFileInfo* b) { return NameLess(a->GetName(), b->GetName()); };
    std::stable_sort(files.begin(), files.end(), byName);
    std::stable_sort(folders.begin(), folders.end(),
                     [&](const CNode& a, const CNode& b) { return byName(a.first, b.first); });
    if (!files.empty()) WriteFileTable(files);
    return folders;
  }

  // Depth first, with an explicit stack: folders may nest very deeply.
  void WriteFolderSection(const CFolderFileInfo& top, const std::string& path) {
    struct CFrame {
      std::vector<CNode> folders;
      std::size_t nNext;
    };
    CWalkPath walkPath(path);
    std::vector<CFrame> stack;
    stack.push_back({WriteNode(top, top, walkPath.Str()), 0});
    while (!stack.empty() && !Cancelled()) {
      CFrame& frame = stack.back();
      if (frame.nNext == frame.folders.size()) {
        stack.pop_back();
        if (!stack.empty()) walkPath.Leave();
        continue;
      }
      const auto [item, folder] = frame.folders[frame.nNext++];
      walkPath.Enter(*item);
      stack.push_back({WriteNode(*item, *folder, walkPath.Str()), 0});
    }
  }

  int m_fd;
  CatalogOutOptions m_options;
  CWorkProgress* m_pProgress;
  int m_nCatalog = 1;
  std::string m_text;
  bool m_bOk = true;
};

}  // namespace

bool CRootFileInfo::WriteHtmlReport(const std::string& path, const std::vector<std::string>* catalogs,
                                    const CatalogOutOptions& options, ESetFileError* pError,
                                    CWorkProgress* progress) const {
  // Written beside the target and renamed over it, so a failure half-way
  // leaves no truncated report and keeps an older one.
  CAtomicFile file(path);
  int error = file.Open();
  errno = 0;
  if (error == 0 && !CHtmlReportWriter(file.Fd(), options, progress).Write(*this, catalogs))
    error = progress != nullptr && progress->Cancelled() ? ECANCELED : errno != 0 ? errno : EIO;
  if (error == 0) error = file.Commit();
  if (pError) *pError = error == 0 ? ESetFileError::None : WriteErrorFromErrno(error);
  return error == 0;
}

bool CRootFileInfo::WriteHtmlReportTo(int fd, const std::vector<std::string>* catalogs,
                                      const CatalogOutOptions& options) const {
  return CHtmlReportWriter(fd, options, nullptr).Write(*this, catalogs);
}
