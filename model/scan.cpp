#include "model/scan.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <map>
#include <memory>
#include <set>
#include <utility>

#include "model/media_type.h"
#include "model/root_file_info.h"
#include "model/scan_paths.h"
#include "model/text_format.h"
#include "platform/cp932_codec.h"
#include "platform/folder_id.h"
#include "platform/path_separator.h"
#include "platform/real_name.h"
#include "platform/volume_info.h"

namespace {

// The walk keeps, for each folder on the way down that still has subfolders
// to visit, those subfolders and (within a budget) an open descriptor.
// Descending needs only the parent's descriptor, so the depth of the tree
// costs memory for names, never stack or descriptors.
class CFolderWalk {
 public:
  CFolderWalk(CFolderLister& lister, int budget, const CScanOptions& options)
      : m_lister(lister), m_nBudget(std::max(budget, 1)), m_options(options) {
    m_lister.Watch(options.pProgress, options.pCancel);
  }
  ~CFolderWalk() {
    m_lister.Watch(nullptr, nullptr);
    for (CFrame& frame : m_frames)
      if (frame.nFd >= 0) close(frame.nFd);
  }
  CFolderWalk(const CFolderWalk&) = delete;
  CFolderWalk& operator=(const CFolderWalk&) = delete;

  void Run(const std::string& path, CFolderFileInfo& item) {
    const int fd = m_lister.OpenFolder(AT_FDCWD, path);
    if (fd < 0) return;
    CFolderId id;
    if (!ReadFolderId(fd, id)) {
      close(fd);
      return;
    }
    m_nRootDevice = id.first;
    Enter(fd, path, item, true);
    while (!m_frames.empty() && !m_options.Cancelled()) {
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
      if (childFd >= 0) Enter(childFd, next.strRawName, *next.pItem, next.bOtherMount);
    }
  }

 private:
  struct CSubfolder {
    CFolderFileInfo* pItem;
    std::string strRawName;
    bool bOtherMount;  // the root of a mount: its file system is checked
  };
  struct CFrame {
    std::vector<CSubfolder> subfolders;
    std::size_t nNext = 0;
    int nFd = -1;
    CFolderId id;
    std::string strRawName;  // in the parent frame's folder; the path for the first
  };

  // Whether the walk goes into the folder that entry records.
  bool Descends(const CDirEntry& entry) const {
    if ((entry.record.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && !m_options.bFollowLinks)
      return false;
    if (m_options.bCrossFileSystems) return true;
    // A device that could not be read says nothing; the folder is then one
    // that cannot be opened either.
    return !entry.bMountRoot && (entry.nDevice == 0 || entry.nDevice == m_nRootDevice);
  }

  std::string PathOf(const std::string& rawName) const {
    std::string path;
    for (const CFrame& frame : m_frames) {
      path += frame.strRawName;
      if (path.back() != '/') path += '/';
    }
    return SanitizeUtf8(path + rawName);
  }

  // Reads the open folder fd into item and, when it has subfolders, makes it
  // the new deepest frame. Takes ownership of fd.
  void Enter(int fd, const std::string& rawName, CFolderFileInfo& item, bool checkFileSystem) {
    CFolderId id;
    if (!ReadFolderId(fd, id) || (checkFileSystem && IsVirtualFileSystem(fd)) ||
        (m_bOnce && !m_walked.insert(id).second)) {
      close(fd);
      return;
    }
    if (m_options.pProgress != nullptr && m_options.pProgress->FolderWanted())
      m_options.pProgress->SetFolder(PathOf(rawName));
    const std::uint64_t device = id.first;  // where a different one starts another mount
    CFrame frame;
    {
      std::vector<CDirEntry> entries;
      m_lister.ReadEntries(fd, entries);
      KeepNamesDistinct(entries);
      item.ReserveChildren(entries.size());
      for (CDirEntry& entry : entries) {
        CFileInfo* child = item.AddChild(&entry.record);
        if (child->IsContainer() && Descends(entry))
          frame.subfolders.push_back({static_cast<CFolderFileInfo*>(child), std::move(entry.strRawName),
                                      entry.bMountRoot || entry.nDevice != device});
      }
    }
    if (frame.subfolders.empty()) {
      close(fd);
      return;
    }
    frame.nFd = fd;
    frame.id = id;
    frame.strRawName = rawName;
    m_frames.push_back(std::move(frame));
    ++m_nOpen;
    KeepWithinBudget();
  }

  void Pop() {
    CloseFrame(m_frames.size() - 1);
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
  const CScanOptions& m_options;
  // Links or other file systems may lead to a folder again (even to one on
  // the way down): then each real folder is walked once, the first time.
  const bool m_bOnce = m_options.bFollowLinks || m_options.bCrossFileSystems;
  std::set<CFolderId> m_walked;
  std::uint64_t m_nRootDevice = 0;
  int m_nOpen = 0;
  std::size_t m_nLowestOpen = 0;  // frames below it hold no descriptor
  std::vector<CFrame> m_frames;
};

}  // namespace

void ScanFolder(const std::string& path, CFolderFileInfo& item, const CScanOptions& options) {
  CFolderLister lister;
  ScanFolder(path, item, lister, kScanOpenFolderBudget, options);
}

void ScanFolder(const std::string& path, CFolderFileInfo& item, CFolderLister& lister, int openFolderBudget,
                const CScanOptions& options) {
  CFolderWalk walk(lister, openFolderBudget, options);
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

std::string SuggestedCatalogLabel(const std::vector<std::string>& paths, const CMediaRoots& roots) {
  std::vector<std::string> absolute;
  for (const std::string& path : paths) absolute.push_back(MakeAbsolutePath(path));
  if (absolute.empty()) return {};
  std::string place = absolute.size() == 1 && FolderExists(absolute[0]) ? absolute[0] : CommonParentPath(absolute);
  if (char* real = realpath(place.c_str(), nullptr)) {
    place = real;
    std::free(real);
  }
  const std::string label = VolumeLabelOf(place, roots);
  if (!label.empty()) return SanitizeUtf8(label);
  return SanitizeUtf8(LastNameOf(place));
}

CDriveFileInfo::CDriveFileInfo(std::string label, std::string basePath)
    : CDriveFileInfo(label, basePath, GatherMediumFacts(basePath)) {}

namespace {

CFileInfo* AddRecord(CFolderFileInfo& parent, CFindData& record, const CScanOptions& options) {
  if (options.pProgress != nullptr)
    options.pProgress->AddEntry((record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0, record.Size());
  return parent.AddChild(&record);
}

// A picked folder, the root, or a single file (the catalog then stands for
// its folder).
EScanStatus ScanOnePath(const std::string& label, const std::string& path, const CScanOptions& options,
                        std::unique_ptr<CDriveFileInfo>& out) {
  const std::string copy = MakeAbsolutePath(path);
  if (copy.empty()) return EScanStatus::NotFound;
  if (FolderExists(copy)) {
    out = std::make_unique<CDriveFileInfo>(label, copy);
    ScanFolder(copy, *out, options);
    return EScanStatus::Done;
  }
  CFindData record;
  if (!ReadPathRecord(copy, record)) return EScanStatus::NotFound;
  out = std::make_unique<CDriveFileInfo>(label, ParentOf(copy));
  AddRecord(*out, record, options);
  return EScanStatus::Done;
}

// Dropped paths, each under their common parent (or under base, when given).
// Paths in different folders keep the folders between that parent and them,
// so that every item's real place is the catalog's base path joined with its
// logical path.
EScanStatus ScanDroppedPaths(const std::string& label, const std::vector<std::string>& paths,
                             const CScanOptions& options, std::unique_ptr<CDriveFileInfo>& out,
                             std::string& message, const std::string* givenBase = nullptr) {
  std::vector<std::string> chosen;
  std::vector<CFindData> records;
  for (const std::string& path : paths) {
    std::string absolute = MakeAbsolutePath(path);
    StripTrailingBackslash(absolute);
    // The root has no name to stand as a child of the catalog.
    if (IsRootPath(absolute)) {
      message = kDriveAloneMessage;
      break;
    }
    CFindData record;
    if (absolute.empty() || !ReadPathRecord(absolute, record)) {
      message = kNotAllCatalogedMessage;
      continue;
    }
    chosen.push_back(std::move(absolute));
    records.push_back(std::move(record));
  }
  if (chosen.empty()) return message == kDriveAloneMessage ? EScanStatus::DriveAlone : EScanStatus::NotFound;

  const std::string base = givenBase != nullptr ? *givenBase : CommonParentPath(chosen);
  out = std::make_unique<CDriveFileInfo>(label, base);
  std::map<std::string, CFolderFileInfo*> between;  // real path → its folder item
  for (std::size_t i = 0; i < chosen.size() && !options.Cancelled(); ++i) {
    const std::string& path = chosen[i];
    // A path inside another chosen one (or the same again) is already there.
    const bool covered = std::any_of(chosen.begin(), chosen.begin() + i, [&](const std::string& other) {
      return other == path || IsInside(path, other);
    }) || std::any_of(chosen.begin() + i + 1, chosen.end(), [&](const std::string& other) { return IsInside(path, other); });
    if (covered) continue;
    CFolderFileInfo* parent = out.get();
    std::size_t pos = IsRootPath(base) ? base.size() : base.size() + 1;
    for (std::size_t slash; (slash = path.find(kPathSeparator, pos)) != std::string::npos; pos = slash + 1) {
      const std::string folder = path.substr(0, slash);
      CFolderFileInfo*& item = between[folder];
      if (item == nullptr) {
        CFindData record;
        if (!ReadPathRecord(folder, record)) {
          record = CFindData();
          record.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
          record.cFileName = ItemNameOf(path.substr(pos, slash - pos));
        }
        item = static_cast<CFolderFileInfo*>(AddRecord(*parent, record, options));
      }
      parent = item;
    }
    CFileInfo* child = AddRecord(*parent, records[i], options);
    if (child->IsContainer()) ScanFolder(path, static_cast<CFolderFileInfo&>(*child), options);
  }
  return EScanStatus::Done;
}

}  // namespace

EScanStatus ScanCatalog(const std::string& label, const std::vector<std::string>& paths,
                        const CScanOptions& options, std::unique_ptr<CDriveFileInfo>& out, std::string& message) {
  out.reset();
  message.clear();
  EScanStatus status = EScanStatus::NotFound;
  if (paths.size() == 1)
    status = ScanOnePath(label, paths[0], options, out);
  else if (!paths.empty())
    status = ScanDroppedPaths(label, paths, options, out, message);
  if (status == EScanStatus::Done && options.Cancelled()) status = EScanStatus::Cancelled;
  if (status != EScanStatus::Done) out.reset();
  return status;
}

EScanStatus ScanCatalogBelow(const std::string& label, const std::string& base, const std::vector<std::string>& paths,
                             const CScanOptions& options, std::unique_ptr<CDriveFileInfo>& out, std::string& message) {
  out.reset();
  message.clear();
  EScanStatus status = ScanDroppedPaths(label, paths, options, out, message, &base);
  if (status == EScanStatus::Done && options.Cancelled()) status = EScanStatus::Cancelled;
  if (status != EScanStatus::Done) out.reset();
  return status;
}

CDriveFileInfo* CRootFileInfo::AddCatalog(const std::string& label, const std::string& path) {
  if (FindByPath(static_cast<const CFileInfo*>(this), label) != nullptr) return nullptr;
  std::unique_ptr<CDriveFileInfo> catalog;
  std::string message;
  if (ScanCatalog(label, {path}, CScanOptions(), catalog, message) != EScanStatus::Done) return nullptr;
  return AppendCatalog(std::move(catalog), std::time(nullptr));
}

CDriveFileInfo* CRootFileInfo::AddCatalogFromPaths(const std::string& label, const std::vector<std::string>& paths,
                                                   CMessageSink& messages) {
  if (FindByPath(static_cast<const CFileInfo*>(this), label) != nullptr) return nullptr;
  std::unique_ptr<CDriveFileInfo> catalog;
  std::string message;
  const EScanStatus status = ScanCatalog(label, paths, CScanOptions(), catalog, message);
  if (status == EScanStatus::NotFound) message = kPlaceNotFoundMessage;
  CDriveFileInfo* added = catalog ? AppendCatalog(std::move(catalog), std::time(nullptr)) : nullptr;
  if (!message.empty()) messages.ShowMessage(message);
  return added;
}

std::string ScanProgressLine(const CScanCounts& counts, std::uint64_t seconds) {
  return "フォルダ " + FormatCount(counts.nFolders) + " / ファイル " + FormatCount(counts.nFiles) + " / " +
         FormatSize(counts.nBytes, false) + " / " + FormatElapsed(seconds);
}
