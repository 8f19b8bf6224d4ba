#include "model/scan.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <set>
#include <utility>

#include "model/media_type.h"
#include "model/root_file_info.h"
#include "platform/cp932_codec.h"
#include "platform/folder_id.h"
#include "platform/real_name.h"
#include "platform/volume_info.h"

namespace {

// The walk keeps, for each folder on the way down that still has subfolders
// to visit, those subfolders and (within a budget) an open descriptor.
// Descending needs only the parent's descriptor, so the depth of the tree
// costs memory for names, never stack or descriptors.
class CFolderWalk {
 public:
  CFolderWalk(CFolderLister& lister, int budget) : m_lister(lister), m_nBudget(std::max(budget, 1)) {}
  ~CFolderWalk() {
    for (CFrame& frame : m_frames)
      if (frame.nFd >= 0) close(frame.nFd);
  }
  CFolderWalk(const CFolderWalk&) = delete;
  CFolderWalk& operator=(const CFolderWalk&) = delete;

  void Run(const std::string& path, CFolderFileInfo& item) {
    const int fd = m_lister.OpenFolder(AT_FDCWD, path);
    if (fd < 0) return;
    Enter(fd, path, item);
    while (!m_frames.empty()) {
      CFrame& top = m_frames.back();
      if (top.nNext == top.subfolders.size()) {
        Pop();
        continue;
      }
      const std::size_t topIndex = m_frames.size() - 1;
      CSubfolder next = std::move(top.subfolders[top.nNext++]);
      const int parentFd = EnsureOpen(topIndex);
      if (parentFd < 0) {
        // The folder is gone from where it was: its other subfolders stay empty.
        top.nNext = top.subfolders.size();
        continue;
      }
      const int childFd = m_lister.OpenFolder(parentFd, next.strRawName);
      if (top.nNext == top.subfolders.size()) CloseFrame(topIndex);
      if (childFd >= 0) Enter(childFd, next.strRawName, *next.pItem);
    }
  }

 private:
  struct CSubfolder {
    CFolderFileInfo* pItem;
    std::string strRawName;
  };
  struct CFrame {
    std::vector<CSubfolder> subfolders;
    std::size_t nNext = 0;
    int nFd = -1;
    CFolderId id;
    std::string strRawName;  // in the parent frame's folder; the path for the first
  };

  // Reads the open folder fd into item and, when it has subfolders, makes it
  // the new deepest frame. Takes ownership of fd.
  void Enter(int fd, const std::string& rawName, CFolderFileInfo& item) {
    CFolderId id;
    if (!ReadFolderId(fd, id) || m_onPath.count(id) != 0) {
      close(fd);
      return;
    }
    CFrame frame;
    {
      std::vector<CDirEntry> entries;
      m_lister.ReadEntries(fd, entries);
      KeepNamesDistinct(entries);
      item.ReserveChildren(entries.size());
      for (CDirEntry& entry : entries) {
        CFileInfo* child = item.AddChild(&entry.record);
        if (child->IsContainer())
          frame.subfolders.push_back({static_cast<CFolderFileInfo*>(child), std::move(entry.strRawName)});
      }
    }
    if (frame.subfolders.empty()) {
      close(fd);
      return;
    }
    frame.nFd = fd;
    frame.id = id;
    frame.strRawName = rawName;
    m_onPath.insert(id);
    m_frames.push_back(std::move(frame));
    ++m_nOpen;
    KeepWithinBudget();
  }

  void Pop() {
    CloseFrame(m_frames.size() - 1);
    m_onPath.erase(m_frames.back().id);
    m_frames.pop_back();
    m_nLowestOpen = std::min(m_nLowestOpen, m_frames.size());
  }

  void CloseFrame(std::size_t index) {
    CFrame& frame = m_frames[index];
    if (frame.nFd < 0) return;
    close(frame.nFd);
    frame.nFd = -1;
    --m_nOpen;
  }

  // Closes the shallowest descriptors first: the walk returns to them last.
  void KeepWithinBudget() {
    while (m_nOpen > m_nBudget) {
      while (m_frames[m_nLowestOpen].nFd < 0) ++m_nLowestOpen;
      CloseFrame(m_nLowestOpen);
    }
  }

  // The descriptor of frame index, reopening it (and the closed frames
  // between it and the nearest open ancestor) by name. -1 when a folder on
  // the way cannot be opened or is no longer the one that was read.
  int EnsureOpen(std::size_t index) {
    if (m_frames[index].nFd >= 0) return m_frames[index].nFd;
    std::size_t start = index;
    while (start > 0 && m_frames[start - 1].nFd < 0) --start;
    int current = start > 0 ? m_frames[start - 1].nFd : AT_FDCWD;
    bool currentOwned = false;  // current is a temporary of this call
    for (std::size_t i = start; i <= index; ++i) {
      CFrame& frame = m_frames[i];
      const int fd = m_lister.OpenFolder(current, frame.strRawName);
      if (currentOwned) close(current);
      CFolderId id;
      if (fd >= 0 && (!ReadFolderId(fd, id) || id != frame.id)) {
        close(fd);
        return -1;
      }
      if (fd < 0) return -1;
      current = fd;
      currentOwned = i < index && frame.nNext == frame.subfolders.size();
      if (!currentOwned) {
        frame.nFd = fd;
        ++m_nOpen;
      }
    }
    m_nLowestOpen = std::min(m_nLowestOpen, start);
    KeepWithinBudget();
    return m_frames[index].nFd;
  }

  CFolderLister& m_lister;
  const int m_nBudget;
  int m_nOpen = 0;
  std::size_t m_nLowestOpen = 0;  // frames below it hold no descriptor
  std::vector<CFrame> m_frames;
  std::set<CFolderId> m_onPath;
};

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

// The length of the root that begins path: "/", or a drive's "C:\" on
// Windows; 0 for a relative path.
std::size_t RootLength(const std::string& path) {
#ifdef _WIN32
  return path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/') ? 3 : 0;
#else
  return !path.empty() && path[0] == '/' ? 1 : 0;
#endif
}

bool IsRootPath(const std::string& path) { return RootLength(path) > 0 && path.size() == RootLength(path); }

std::string ParentOf(const std::string& path) {
  const std::size_t slash = path.rfind(kSeparator);
  if (slash == std::string::npos) return path;
  if (slash < RootLength(path)) return path.substr(0, RootLength(path));
  return path.substr(0, slash);
}

std::vector<std::string> SplitComponents(std::string path) {
  StripTrailingBackslash(path);
  std::vector<std::string> components;
  if (IsRootPath(path)) return {path.substr(0, RootLength(path) - 1)};
  std::size_t pos = 0;
  for (;;) {
    const std::size_t slash = path.find(kSeparator, pos);
    components.push_back(path.substr(pos, slash - pos));
    if (slash == std::string::npos) return components;
    pos = slash + 1;
  }
}

[[maybe_unused]] std::string CurrentFolder() {
  std::vector<char> buffer(PATH_MAX);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return "/";
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

bool FolderExists(const std::string& path) {
  if (IsRootPath(path)) return true;
  CFindData record;
  return ReadPathRecord(path, record) && (record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

void ScanFolder(const std::string& path, CFolderFileInfo& item) {
  CFolderLister lister;
  ScanFolder(path, item, lister);
}

void ScanFolder(const std::string& path, CFolderFileInfo& item, CFolderLister& lister, int openFolderBudget) {
  CFolderWalk walk(lister, openFolderBudget);
  walk.Run(path, item);
}

int ListFolder(const std::string& path, std::vector<CFindData>& list) {
  CFolderLister lister;
  const int fd = lister.OpenFolder(AT_FDCWD, path);
  if (fd < 0) return 0;
  std::vector<CDirEntry> entries;
  lister.ReadEntries(fd, entries);
  close(fd);
  for (CDirEntry& entry : entries) list.push_back(std::move(entry.record));
  return 1;
}

std::string CommonParentPath(const std::vector<std::string>& paths) {
  if (paths.empty()) return {};
  if (paths.size() == 1) {
    std::string path = paths[0];
    StripTrailingBackslash(path);
    return ParentOf(path);
  }
  std::vector<std::string> common = SplitComponents(paths[0]);
  for (const std::string& path : paths) {
    const std::vector<std::string> components = SplitComponents(path);
    const auto mismatch = std::mismatch(common.begin(), common.end(), components.begin(), components.end());
    common.erase(mismatch.first, common.end());
  }
  if (common.size() == 1 && (common[0].empty() || IsRootPath(common[0] + kSeparator))) return common[0] + kSeparator;
  std::string joined;
  for (std::size_t i = 0; i < common.size(); ++i) {
    if (i > 0) joined += kSeparator;
    joined += common[i];
  }
  return joined;
}

void StripTrailingBackslash(std::string& path) {
  if (path.size() > std::max<std::size_t>(RootLength(path), 1) && path.back() == kSeparator) path.pop_back();
}

std::string MakeAbsolutePath(const std::string& path) {
  if (path.empty()) return path;
#ifdef _WIN32
  // The system's own rules: drive-relative paths, '/' for '\\', "." and "..".
  std::string absolute = path;
  if (char* full = realpath(path.c_str(), nullptr)) {
    absolute = full;
    std::free(full);
  }
  StripTrailingBackslash(absolute);
  return absolute;
#endif
  const std::string full = path[0] == '/' ? path : CurrentFolder() + "/" + path;
  std::vector<std::string> kept;
  std::size_t pos = 0;
  while (pos <= full.size()) {
    const std::size_t slash = std::min(full.find('/', pos), full.size());
    const std::string component = full.substr(pos, slash - pos);
    pos = slash + 1;
    if (component.empty() || component == ".") continue;
    if (component == "..") {
      if (!kept.empty()) kept.pop_back();
      continue;
    }
    kept.push_back(component);
  }
  std::string result;
  for (const std::string& component : kept) result += "/" + component;
  return result.empty() ? "/" : result;
}

CMediumFacts GatherMediumFacts(const std::string& basePath) {
  CMediumFacts facts;
  facts.strMachineName = SanitizeUtf8(ReadMachineName());
  if (facts.strMachineName.empty()) facts.strMachineName = kUnknownMachineName;
  // The mount table lists real paths; a base path through a link is judged
  // by where it leads.
  std::string resolved = basePath;
  if (char* real = realpath(basePath.c_str(), nullptr)) {
    resolved = real;
    std::free(real);
  }
  facts.strMediaType = MediaTypeOf(resolved);
  ReadDiskSpace(basePath, facts.nFreeBytes, facts.nTotalBytes);
  return facts;
}

CDriveFileInfo::CDriveFileInfo(std::string label, std::string basePath)
    : CDriveFileInfo(label, basePath, GatherMediumFacts(basePath)) {}

CDriveFileInfo* CRootFileInfo::AddCatalog(const std::string& label, const std::string& path) {
  if (FindByPath(static_cast<const CFileInfo*>(this), label) != nullptr) return nullptr;
  const std::string copy = MakeAbsolutePath(path);
  std::unique_ptr<CDriveFileInfo> catalog;
  if (!copy.empty() && FolderExists(copy)) {
    catalog = std::make_unique<CDriveFileInfo>(label, copy);
    ScanFolder(copy, *catalog);
  } else {
    // A single file, or nothing at all: the catalog stands for its folder.
    catalog = std::make_unique<CDriveFileInfo>(label, ParentOf(copy));
    CFindData record;
    if (!copy.empty() && ReadPathRecord(copy, record)) catalog->AddChild(&record);
  }
  return AppendCatalog(std::move(catalog), std::time(nullptr));
}

CDriveFileInfo* CRootFileInfo::AddCatalogFromPaths(const std::string& label, const std::vector<std::string>& paths,
                                                   CMessageSink& messages) {
  if (FindByPath(static_cast<const CFileInfo*>(this), label) != nullptr) return nullptr;
  std::vector<std::string> absolute;
  absolute.reserve(paths.size());
  for (const std::string& path : paths) absolute.push_back(MakeAbsolutePath(path));

  auto catalog = std::make_unique<CDriveFileInfo>(label, CommonParentPath(absolute));
  std::string message;
  for (std::string& path : absolute) {
    StripTrailingBackslash(path);
    // The root has no name to stand as a child of the catalog.
    if (IsRootPath(path)) {
      message = kDriveAloneMessage;
      break;
    }
    CFindData record;
    if (path.empty() || !ReadPathRecord(path, record)) {
      message = kNotAllCatalogedMessage;
      continue;
    }
    CFileInfo* child = catalog->AddChild(&record);
    if (child->IsContainer()) ScanFolder(path, static_cast<CFolderFileInfo&>(*child));
  }
  CDriveFileInfo* added = AppendCatalog(std::move(catalog), std::time(nullptr));
  if (!message.empty()) messages.ShowMessage(message);
  return added;
}
