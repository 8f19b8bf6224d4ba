// The walk that turns a real folder into items: folders are read on a few
// threads ahead of the walk, while the walk's own thread makes the items in
// the order a single reader would.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <new>
#include <set>
#include <system_error>
#include <thread>
#include <utility>

#include "model/media_type.h"
#include "model/scan.h"
#include "model/scan_paths.h"
#include "platform/cp932_codec.h"
#include "platform/folder_id.h"
#include "platform/path_separator.h"
#include "platform/real_name.h"

namespace {

// Folders read ahead of the walk and not yet taken by it, and their entries:
// what read-ahead may hold at most (a read already begun may pass the
// entries' bound by one folder).
constexpr std::size_t kReadAheadFolders = 64;
constexpr std::size_t kReadAheadEntries = 8192;
// Folders the walk reads alone before it starts readers: small scans (an
// update's many small folders) are not worth the threads.
constexpr int kFoldersBeforeReaders = 16;

// An open folder, shared by the walk and the reads that open folders inside
// it; closed when the last of them lets go.
class CFolderHandle {
 public:
  explicit CFolderHandle(int fd) : m_nFd(fd) {}
  ~CFolderHandle() { close(m_nFd); }
  CFolderHandle(const CFolderHandle&) = delete;
  CFolderHandle& operator=(const CFolderHandle&) = delete;
  int Fd() const { return m_nFd; }

 private:
  const int m_nFd;
};

// One folder opened and read, by a reading thread or by the walk itself.
struct CFolderRead {
  CFolderRead() = default;
  CFolderRead(const CFolderRead&) = delete;
  CFolderRead& operator=(const CFolderRead&) = delete;
  ~CFolderRead() {
    if (nFd >= 0) close(nFd);
  }

  // What to read: strRawName inside pParent (a path when there is none).
  std::shared_ptr<CFolderHandle> pParent;
  std::string strRawName;
  bool bCheckFileSystem = false;  // the root of a mount: virtual ones are left out
  bool bDone = false;
  // What was read: nothing unless opened. The descriptor stays open only
  // when the folder has subfolders to walk.
  bool bOpened = false;
  int nFd = -1;
  CFolderId id;
  std::vector<CDirEntry> entries;
  std::exception_ptr pError;
};

// The walk keeps, for each folder on the way down that still has subfolders
// to visit, those subfolders and (within a budget) an open descriptor.
// Descending needs only the parent's descriptor, so the depth of the tree
// costs memory for names, never stack or descriptors. Reading threads take
// the first subfolders in walk order that nobody has begun, deepest frame
// first, and leave the next one of the walk to the walk; the walk, waiting
// for a read a reader has begun, reads ahead too meanwhile.
class CFolderWalk {
 public:
  CFolderWalk(CFolderLister& lister, int budget, int threads, const CScanOptions& options)
      : m_lister(lister),
        m_nBudget(std::max(budget, 1)),
        // More readers than folders read ahead would only wait.
        m_nThreads(std::clamp(threads, 1, int(kReadAheadFolders))),
        m_options(options) {
    m_lister.Watch(options.pProgress, options.pCancel);
  }
  ~CFolderWalk() {
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_bStop = true;
    }
    m_work.notify_all();
    for (std::thread& reader : m_readers) reader.join();
    m_lister.Watch(nullptr, nullptr);
  }
  CFolderWalk(const CFolderWalk&) = delete;
  CFolderWalk& operator=(const CFolderWalk&) = delete;

  void Run(const std::string& path, CFolderFileInfo& item) {
    const int fd = m_lister.OpenFolder(AT_FDCWD, path);
    if (fd < 0) return;
    CFolderRead root;
    root.nFd = fd;
    root.strRawName = path;
    root.bCheckFileSystem = true;
    if (!ReadFolderId(fd, root.id)) return;
    m_nRootDevice = root.id.first;
    ReadOpen(root);
    Visit(root, item);
    while (!m_options.Cancelled()) {
      while (!m_frames.empty() && m_frames.back().nNext == m_frames.back().subfolders.size()) Pop();
      if (m_frames.empty()) break;
      const std::size_t topIndex = m_frames.size() - 1;
      const std::size_t index = m_frames[topIndex].nNext;
      const CSubfolder& next = m_frames[topIndex].subfolders[index];
      CFolderRead* ahead = nullptr;
      std::unique_ptr<CFolderRead> own;
      {
        std::lock_guard<std::mutex> lock(m_mutex);
        ahead = Claim(topIndex);
        if (ahead == nullptr) {
          own = std::make_unique<CFolderRead>();
          own->pParent = EnsureOpen(topIndex);
          if (own->pParent == nullptr) {
            // The folder is gone from where it was: its subfolders nobody
            // has begun stay empty.
            SkipUnbegun(topIndex);
            continue;
          }
        }
        ReleaseIfUnneeded(topIndex);
      }
      if (own != nullptr) {
        own->strRawName = next.strRawName;
        own->bCheckFileSystem = next.bOtherMount;
        Open(*own);
        Visit(*own, *next.pItem);
      } else {
        Await(*ahead);
        Visit(*ahead, *next.pItem);
        // Its entries and descriptor go now.
        std::lock_guard<std::mutex> lock(m_mutex);
        m_frames[topIndex].subfolders[index].pRead.reset();
      }
      if (++m_nVisited == kFoldersBeforeReaders) StartReaders();
    }
  }

 private:
  struct CSubfolder {
    CFolderFileInfo* pItem;
    std::string strRawName;
    bool bOtherMount;  // the root of a mount: its file system is checked
    std::unique_ptr<CFolderRead> pRead;  // once a reading thread has begun it
  };
  struct CFrame {
    std::vector<CSubfolder> subfolders;
    std::size_t nNext = 0;   // the next subfolder the walk visits
    std::size_t nBegun = 0;  // subfolders before it are read or claimed by the walk
    std::shared_ptr<CFolderHandle> pHandle;
    CFolderId id;
    std::string strRawName;  // in the parent frame's folder; the path for the first
  };

  // Whether the walk goes into the folder that entry records.
  bool Descends(const CDirEntry& entry) const {
    if ((entry.record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return false;
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
      if (path.find_last_of(kPathSeparators) != path.size() - 1) path += kPathSeparator;
    }
    return SanitizeUtf8(path + rawName);
  }

  // Opens and reads read's folder; on any thread. Errors are kept for the
  // walk to raise.
  void Open(CFolderRead& read) {
    try {
      read.nFd = m_lister.OpenFolder(read.pParent->Fd(), read.strRawName);
      read.pParent.reset();
      if (read.nFd >= 0 && ReadFolderId(read.nFd, read.id)) ReadOpen(read);
    } catch (...) {
      read.pError = std::current_exception();
    }
    if (!read.bOpened && read.nFd >= 0) {
      close(read.nFd);
      read.nFd = -1;
    }
  }

  // Reads the identified open folder, unless the walk leaves it out.
  void ReadOpen(CFolderRead& read) {
    if (read.bCheckFileSystem && IsVirtualFileSystem(read.nFd)) return;
    if (m_bOnce) {
      std::lock_guard<std::mutex> lock(m_mutex);
      if (m_walked.count(read.id) != 0) return;
    }
    m_lister.ReadEntries(read.nFd, read.entries);
    KeepNamesDistinct(read.entries);
    read.bOpened = true;
    if (std::none_of(read.entries.begin(), read.entries.end(), [&](const CDirEntry& e) { return Descends(e); })) {
      close(read.nFd);
      read.nFd = -1;
    }
  }

  // Adds what read found under item and, when it has subfolders, makes it
  // the new deepest frame.
  void Visit(CFolderRead& read, CFolderFileInfo& item) {
    if (read.pError) std::rethrow_exception(read.pError);
    if (!read.bOpened) return;
    if (m_bOnce) {
      std::lock_guard<std::mutex> lock(m_mutex);
      if (!m_walked.insert(read.id).second) {
        // Met earlier in the walk while this was read ahead.
        TakeBackCounts(read.entries);
        return;
      }
    }
    if (m_options.pProgress != nullptr && m_options.pProgress->FolderWanted())
      m_options.pProgress->SetFolder(PathOf(read.strRawName));
    const std::uint64_t device = read.id.first;  // where a different one starts another mount
    CFrame frame;
    item.ReserveChildren(read.entries.size());
    for (CDirEntry& entry : read.entries) {
      CFileInfo* child = item.AddChild(&entry.record);
      if (Descends(entry))
        frame.subfolders.push_back({static_cast<CFolderFileInfo*>(child), std::move(entry.strRawName),
                                    entry.bMountRoot || entry.nDevice != device, nullptr});
    }
    read.entries = std::vector<CDirEntry>();
    if (frame.subfolders.empty()) return;
    if (read.nFd >= 0) {
      frame.pHandle = std::make_shared<CFolderHandle>(read.nFd);
      read.nFd = -1;
    }
    frame.id = read.id;
    frame.strRawName = std::move(read.strRawName);
    const bool more = frame.subfolders.size() > 1;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      if (frame.pHandle != nullptr) ++m_nOpen;
      m_frames.push_back(std::move(frame));
      m_unbegun.push_back(m_frames.size() - 1);
      KeepWithinBudget();
    }
    // A lone subfolder is the walk's next one: no reader is woken for it.
    if (more) m_work.notify_all();
  }

  void TakeBackCounts(const std::vector<CDirEntry>& entries) {
    if (m_options.pProgress == nullptr) return;
    CScanCounts counts;
    for (const CDirEntry& entry : entries) {
      if ((entry.record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        ++counts.nFolders;
      } else {
        ++counts.nFiles;
        counts.nBytes += entry.record.Size();
      }
    }
    m_options.pProgress->TakeBackCounts(counts);
  }

  // Takes the next subfolder of the frame: the read a reading thread has
  // begun for it, else null, the walk then reading it itself.
  CFolderRead* Claim(std::size_t frameIndex) {
    CFrame& frame = m_frames[frameIndex];
    const std::size_t index = frame.nNext++;
    if (frame.nBegun <= index) {
      frame.nBegun = index + 1;
      if (frame.nBegun == frame.subfolders.size()) DropUnbegun(frameIndex);
    }
    return frame.subfolders[index].pRead.get();
  }

  void SkipUnbegun(std::size_t frameIndex) {
    CFrame& frame = m_frames[frameIndex];
    if (frame.nBegun > frame.nNext) return;  // those begun are still visited
    frame.nNext = frame.nBegun = frame.subfolders.size();
    DropUnbegun(frameIndex);
  }

  // Waits for a reader's read, reading ahead itself meanwhile.
  void Await(CFolderRead& read) {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!read.bDone)
      if (!ReadOneAhead(lock)) m_done.wait(lock);
    const bool wasFull = m_nAheadEntries >= kReadAheadEntries || m_nAhead >= kReadAheadFolders;
    --m_nAhead;
    m_nAheadEntries -= read.entries.size();
    if (wasFull) m_work.notify_all();
  }

  // The frame, whose subfolders have all been begun, leaves m_unbegun.
  void DropUnbegun(std::size_t frameIndex) {
    const auto found = std::find(m_unbegun.rbegin(), m_unbegun.rend(), frameIndex);
    if (found != m_unbegun.rend()) m_unbegun.erase(std::next(found).base());
  }

  // Whether a subfolder of the frame may still have to be opened: one nobody
  // has begun, or the walk's next one when the readers left it to the walk.
  static bool NeedsHandle(const CFrame& frame) {
    return frame.nBegun < frame.subfolders.size() ||
           (frame.nNext < frame.nBegun && frame.subfolders[frame.nNext].pRead == nullptr);
  }

  void ReleaseIfUnneeded(std::size_t frameIndex) {
    CFrame& frame = m_frames[frameIndex];
    if (frame.pHandle == nullptr || NeedsHandle(frame)) return;
    frame.pHandle.reset();
    --m_nOpen;
  }

  void Pop() {
    std::lock_guard<std::mutex> lock(m_mutex);
    const std::size_t index = m_frames.size() - 1;
    if (!m_unbegun.empty() && m_unbegun.back() == index) m_unbegun.pop_back();
    if (m_frames[index].pHandle != nullptr) --m_nOpen;
    m_frames.pop_back();
    m_nLowestOpen = std::min(m_nLowestOpen, m_frames.size());
  }

  // Closes the shallowest descriptors first: the walk returns to them last.
  void KeepWithinBudget() {
    while (m_nOpen > m_nBudget) {
      while (m_frames[m_nLowestOpen].pHandle == nullptr) ++m_nLowestOpen;
      m_frames[m_nLowestOpen].pHandle.reset();
      --m_nOpen;
    }
  }

  // The open folder of frame index, reopening it (and the closed frames
  // between it and the nearest open ancestor) by name. Null when a folder on
  // the way cannot be opened or is no longer the one that was read.
  std::shared_ptr<CFolderHandle> EnsureOpen(std::size_t index) {
    if (m_frames[index].pHandle != nullptr) return m_frames[index].pHandle;
    std::size_t start = index;
    while (start > 0 && m_frames[start - 1].pHandle == nullptr) --start;
    std::shared_ptr<CFolderHandle> current = start > 0 ? m_frames[start - 1].pHandle : nullptr;
    for (std::size_t i = start; i <= index; ++i) {
      CFrame& frame = m_frames[i];
      const int fd = m_lister.OpenFolder(current != nullptr ? current->Fd() : AT_FDCWD, frame.strRawName);
      if (fd < 0) return nullptr;
      current = std::make_shared<CFolderHandle>(fd);
      CFolderId id;
      if (!ReadFolderId(fd, id) || id != frame.id) return nullptr;
      // Kept only where subfolders of it are still to be opened.
      if (i == index || NeedsHandle(frame)) {
        frame.pHandle = current;
        ++m_nOpen;
      }
    }
    m_nLowestOpen = std::min(m_nLowestOpen, start);
    KeepWithinBudget();
    return current;
  }

  void StartReaders() {
    try {
      for (int i = 1; i < m_nThreads; ++i) m_readers.emplace_back([this] { ReadAhead(); });
    } catch (const std::system_error&) {
      // Fewer readers: the walk reads what they do not.
    }
  }

  // The first subfolder in walk order that nobody has begun, the walk's next
  // one and those of closed frames aside (the walk reopens them); false when
  // there is none near.
  bool FindUnbegun(std::size_t& frameIndex, std::size_t& index) const {
    const auto last = m_unbegun.rbegin() + std::min(m_unbegun.size(), kReadAheadFolders);
    for (auto it = m_unbegun.rbegin(); it != last; ++it) {
      const CFrame& frame = m_frames[*it];
      if (frame.pHandle == nullptr) continue;
      index = frame.nBegun;
      if (*it == m_frames.size() - 1 && index == frame.nNext) ++index;
      if (index < frame.subfolders.size()) {
        frameIndex = *it;
        return true;
      }
    }
    return false;
  }

  // A reading thread.
  void ReadAhead() {
    std::unique_lock<std::mutex> lock(m_mutex);
    try {
      while (!m_bStop)
        if (!ReadOneAhead(lock)) m_work.wait(lock);
    } catch (const std::bad_alloc&) {
      // This reader stops; the walk reads what it would have.
    }
  }

  // Begins the first read nobody has begun, if read-ahead has room for it,
  // and reads it; lock is held on entry and return, not while reading.
  bool ReadOneAhead(std::unique_lock<std::mutex>& lock) {
    std::size_t frameIndex = 0, index = 0;
    if (m_bStop || m_options.Cancelled() || m_nAhead >= kReadAheadFolders ||
        m_nAheadEntries >= kReadAheadEntries || !FindUnbegun(frameIndex, index))
      return false;
    CFrame& frame = m_frames[frameIndex];
    auto read = std::make_unique<CFolderRead>();
    read->pParent = frame.pHandle;
    read->strRawName = frame.subfolders[index].strRawName;
    read->bCheckFileSystem = frame.subfolders[index].bOtherMount;
    frame.nBegun = index + 1;
    if (frame.nBegun == frame.subfolders.size()) DropUnbegun(frameIndex);
    CFolderRead& reading = *read;
    frame.subfolders[index].pRead = std::move(read);
    ++m_nAhead;
    ReleaseIfUnneeded(frameIndex);
    lock.unlock();
    Open(reading);
    lock.lock();
    reading.bDone = true;
    m_nAheadEntries += reading.entries.size();
    m_done.notify_one();
    return true;
  }

  CFolderLister& m_lister;
  const std::size_t m_nBudget;
  const int m_nThreads;
  const CScanOptions& m_options;
  // Links or other file systems may lead to a folder again (even to one on
  // the way down): then each real folder is walked once, the first time.
  const bool m_bOnce = m_options.bFollowLinks || m_options.bCrossFileSystems;
  std::uint64_t m_nRootDevice = 0;
  int m_nVisited = 0;  // folders taken by the walk below the first
  std::vector<std::thread> m_readers;

  // What follows is shared with the reading threads, under m_mutex (the walk
  // alone changes frames, and reads its own fields without it).
  std::mutex m_mutex;
  std::condition_variable m_work;  // for the readers: something to read, or stop
  std::condition_variable m_done;  // for the walk: a read has finished
  bool m_bStop = false;
  std::set<CFolderId> m_walked;
  std::size_t m_nOpen = 0;
  std::size_t m_nLowestOpen = 0;  // frames below it hold no descriptor
  std::vector<CFrame> m_frames;
  std::vector<std::size_t> m_unbegun;  // frames with subfolders nobody has begun, shallowest first
  std::size_t m_nAhead = 0;            // read or being read by the readers, not yet taken
  std::size_t m_nAheadEntries = 0;     // entries of those read
};

}  // namespace

void ScanFolder(const std::string& path, CFolderFileInfo& item, const CScanOptions& options) {
  CFolderLister lister;
  ScanFolder(path, item, lister, kScanOpenFolderBudget, options);
}

void ScanFolder(const std::string& path, CFolderFileInfo& item, CFolderLister& lister, int openFolderBudget,
                const CScanOptions& options) {
  const int threads = options.nThreads > 0 ? options.nThreads : DefaultScanThreads(path);
  CFolderWalk walk(lister, openFolderBudget, threads, options);
  walk.Run(path, item);
}

int DefaultScanThreads(const std::string& path, const CMediaRoots& roots) {
  const int cores = std::max(1, int(std::thread::hardware_concurrency()));
  // Waiting on the server dominates there: more reads at once pay.
  return MediaTypeOf(ResolvedPath(path), roots) == kMediaNetwork ? std::max(cores, kNetworkScanThreads) : cores;
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
