// The walk that turns a real folder into items: folders are read on a few
// threads ahead of the walk, while the walk's own thread makes the items in
// the order a single reader would.
#include <fcntl.h>

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <new>
#include <set>
#include <system_error>
#include <thread>
#include <utility>

#include "model/item_builder.h"
#include "model/scan.h"
#include "model/scan_excludes.h"
#include "model/scan_open_folders.h"
#include "model/scan_paths.h"
#include "platform/cp932_codec.h"
#include "platform/folder_id.h"
#include "platform/media_type.h"
#include "platform/path_separator.h"
#include "platform/real_name.h"
#include "platform/thread_start.h"

namespace {

// Folders read ahead of the walk and not yet taken by it, and their entries:
// what read-ahead may hold at most (a read already begun may pass the
// entries' bound by one folder).
constexpr std::size_t kReadAheadFolders = 64;
constexpr std::size_t kReadAheadEntries = 8192;
// Folders the walk reads alone before it starts readers: small scans (an
// update's many small folders) are not worth the threads.
constexpr int kFoldersBeforeReaders = 16;
#ifndef NDEBUG
// Up to this depth the checks after each step look at every frame.
constexpr std::size_t kFramesCheckedWhole = 1024;
#endif

bool IsOutOfDescriptors(int error) { return error == EMFILE || error == ENFILE; }

enum class EReadState {
  Pending,
  Read,
  Skipped,  // left out by the options: a virtual file system, a folder walked already
  Failed,   // could not be opened or read, or is not the folder that was listed
  Retry,    // a reader found no descriptor to spare: the walk reads it itself
};

// One folder opened and read, by a reading thread or by the walk itself.
struct CFolderRead {
  // What to read: strRawName inside the parent's folder (a path for the
  // first), which should be the folder expected where that is known.
  std::string strRawName;
  CFolderId expected{0, 0};
  bool bCheckFileSystem = false;  // the root of a mount: virtual ones are left out
  bool bDone = false;
  // What was read. The descriptor stays open only when the folder has
  // subfolders to walk: in nFd until the walk keeps it in open.
  EReadState state = EReadState::Pending;
  int nFd = -1;
  COpenFolders::CSlot open;
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
  CFolderWalk(CFolderLister& lister, int budget, int threads, const CScanOptions& options, const std::string& placePath)
      : m_lister(lister),
        // More readers than folders read ahead would only wait.
        m_nThreads(std::clamp(threads, 1, int(kReadAheadFolders))),
        m_options(options),
        m_excludes(options.excludes),
        m_strPlacePath(placePath),
        m_open(lister, std::size_t(std::max(budget, 1))) {
    m_lister.Watch(options.pProgress, options.pCancel);
    m_lister.FollowFolderLinks(options.bFollowLinks);
  }
  ~CFolderWalk() {
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_bStop = true;
    }
    m_work.notify_all();
    for (std::thread& reader : m_readers) reader.join();
    m_lister.Watch(nullptr, nullptr);
    m_lister.FollowFolderLinks(false);
  }
  CFolderWalk(const CFolderWalk&) = delete;
  CFolderWalk& operator=(const CFolderWalk&) = delete;

  void Run(const std::string& path, CFolderFileInfo& item) {
    CFolderRead root;
    root.strRawName = path;
    root.bCheckFileSystem = true;
    root.nFd = OpenIn(AT_FDCWD, root.strRawName, false);
    if (root.nFd < 0 || !ReadFolderId(root.nFd, root.id)) {
      if (root.nFd >= 0) m_lister.CloseFolder(root.nFd);
      item.SetUnreadable(true);
      return;
    }
    m_nRootDevice = root.id.first;
    try {
      ReadOpen(root);
    } catch (...) {
      m_lister.CloseFolder(root.nFd);
      throw;
    }
    Finish(root);
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      KeepRead(root);
    }
    Visit(root, item, 0, 0);
    while (!m_options.Cancelled()) {
      while (!m_frames.empty() && m_frames.back().nNext == m_frames.back().subfolders.size()) Pop();
      if (m_frames.empty()) break;
      const std::size_t topIndex = m_frames.size() - 1;
      const std::size_t index = m_frames[topIndex].nNext;
      CSubfolder& next = m_frames[topIndex].subfolders[index];
      CFolderRead* read = nullptr;
      std::unique_ptr<CFolderRead> own;
      {
        std::lock_guard<std::mutex> lock(m_mutex);
        read = Claim(topIndex);
        if (read != nullptr) ReleaseIfUnneeded(topIndex);
      }
      if (read != nullptr) Await(*read);
      if (read == nullptr || read->state == EReadState::Retry) {
        if (read == nullptr) {
          own = std::make_unique<CFolderRead>();
          read = own.get();
        }
        if (!ReadItself(topIndex, next, *read)) {
          // The folder is gone from where it was: its subfolders nobody has
          // begun cannot be reached.
          std::lock_guard<std::mutex> lock(m_mutex);
          next.pItem->SetUnreadable(true);
          SkipUnbegun(topIndex);
          next.pRead.reset();
          CheckInvariants();
          continue;
        }
      }
      Visit(*read, *next.pItem, topIndex + 1, next.nPathBytes);
      {
        // Its entries go now.
        std::lock_guard<std::mutex> lock(m_mutex);
        next.pRead.reset();
        CheckInvariants();
      }
      if (++m_nVisited == kFoldersBeforeReaders) StartReaders();
    }
  }

 private:
  struct CSubfolder {
    CFolderFileInfo* pItem;
    std::string strRawName;
    bool bOtherMount;                    // the root of a mount: its file system is checked
    CFolderId expected;                  // what the listing said it is; zeros when unknown
    std::unique_ptr<CFolderRead> pRead;  // once a reading thread has begun it
    std::size_t nPathBytes;              // of its logical path below the walk's top
  };
  struct CFrame {
    CFolderFileInfo* pItem = nullptr;
    std::vector<CSubfolder> subfolders;
    std::size_t nNext = 0;   // the next subfolder the walk visits
    std::size_t nBegun = 0;  // subfolders before it are read or claimed by the walk
    COpenFolders::CSlot open;
    CFolderId id;
    std::string strRawName;  // in the parent frame's folder; the path for the first
  };

  // Whether the walk goes into the folder that entry records.
  bool Descends(const CDirEntry& entry) const {
    if ((entry.record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return false;
    if ((entry.record.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && !m_options.bFollowLinks) return false;
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

  // The path below the place scanned of item, the folder being visited,
  // with "/" between names, for the exclude patterns that name paths.
  std::string PlacePathOf(const CFolderFileInfo& item) const {
    std::string path = m_strPlacePath;
    const auto append = [&path](std::string_view name) {
      if (!path.empty()) path += '/';
      path += name;
    };
    if (m_frames.empty()) return path;
    for (std::size_t i = 1; i < m_frames.size(); ++i) append(m_frames[i].pItem->GetName());
    append(item.GetName());
    return path;
  }

  // Opens name inside parentFd, giving back kept descriptors while the
  // system has none to spare; -1 with errno set when it cannot.
  int OpenIn(int parentFd, const std::string& name, bool locked) {
    for (;;) {
      const int fd = m_lister.OpenFolder(parentFd, name, m_options.bFollowLinks);
      if (fd >= 0 || !IsOutOfDescriptors(errno)) return fd;
      const int error = errno;
      bool shed = false;
      if (locked) {
        shed = m_open.Shed();
      } else {
        std::lock_guard<std::mutex> lock(m_mutex);
        shed = m_open.Shed();
      }
      if (!shed) {
        errno = error;
        return -1;
      }
    }
  }

  // Opens and reads read's folder inside parentFd; on any thread. Errors are
  // kept for the walk to raise.
  void Open(CFolderRead& read, int parentFd, bool byReader) {
    try {
      read.nFd = OpenIn(parentFd, read.strRawName, false);
      if (read.nFd < 0) {
        read.state = byReader && IsOutOfDescriptors(errno) ? EReadState::Retry : EReadState::Failed;
      } else if (!ReadFolderId(read.nFd, read.id) || (read.expected.second != 0 && read.id != read.expected)) {
        // Replaced since it was listed (by a link, say): not walked.
        read.state = EReadState::Failed;
      } else {
        ReadOpen(read);
      }
    } catch (...) {
      read.pError = std::current_exception();
      read.state = EReadState::Failed;
    }
    Finish(read);
  }

  // Reads the identified open folder, unless the walk leaves it out.
  void ReadOpen(CFolderRead& read) {
    read.state = EReadState::Skipped;
    if (read.bCheckFileSystem && IsVirtualFileSystem(read.nFd)) return;
    if (m_bOnce) {
      std::lock_guard<std::mutex> lock(m_mutex);
      if (m_walked.count(read.id) != 0) return;
    }
    if (!m_lister.ReadEntries(read.nFd, read.entries)) {
      TakeBackCounts(read.entries);
      read.entries = std::vector<CDirEntry>();
      read.state = EReadState::Failed;
      return;
    }
    KeepNamesDistinct(read.entries);
    read.state = EReadState::Read;
  }

  // Closes read's descriptor unless it has subfolders to walk.
  void Finish(CFolderRead& read) {
    if (read.nFd < 0) return;
    if (read.state == EReadState::Read &&
        std::any_of(read.entries.begin(), read.entries.end(), [&](const CDirEntry& e) { return Descends(e); }))
      return;
    m_lister.CloseFolder(read.nFd);
    read.nFd = -1;
  }

  // Opens and reads next, the next subfolder of the frame, on the walk's
  // thread; false when the frame's folder cannot be reached.
  bool ReadItself(std::size_t frameIndex, const CSubfolder& next, CFolderRead& read) {
    int parentFd = -1;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      if (!EnsureOpen(frameIndex)) return false;
      parentFd = m_open.FdOf(m_frames[frameIndex].open);
    }
    read.strRawName = next.strRawName;
    read.bCheckFileSystem = next.bOtherMount;
    read.expected = next.expected;
    read.state = EReadState::Pending;
    Open(read, parentFd, false);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_open.Unpin(m_frames[frameIndex].open);
    ReleaseIfUnneeded(frameIndex);
    KeepRead(read);
    return true;
  }

  // Adds what read found under item, depth names below the walk's top with
  // a logical path of pathBytes, and, when it has subfolders, makes it the
  // new deepest frame.
  void Visit(CFolderRead& read, CFolderFileInfo& item, std::size_t depth, std::size_t pathBytes) {
    if (read.pError) std::rethrow_exception(read.pError);
    if (read.state == EReadState::Failed) item.SetUnreadable(true);
    if (read.state == EReadState::Read && m_bOnce) {
      std::lock_guard<std::mutex> lock(m_mutex);
      if (!m_walked.insert(read.id).second) {
        // Met earlier in the walk while this was read ahead.
        TakeBackCounts(read.entries);
        read.state = EReadState::Skipped;
      }
    }
    if (read.state != EReadState::Read) {
      std::lock_guard<std::mutex> lock(m_mutex);
      if (read.open) m_open.Close(read.open);
      return;
    }
    // A folder whose entries would pass the limits keeps its own record and
    // none of them, marked as not read whole: reported, and an update keeps
    // what it held before instead of taking it for gone.
    if (!std::all_of(read.entries.begin(), read.entries.end(), [&](const CDirEntry& entry) {
          return FitsTree(depth + 1, PathBytesBelow(pathBytes, entry.record.cFileName.size()));
        })) {
      item.SetUnreadable(true);
      TakeBackCounts(read.entries);
      read.entries = std::vector<CDirEntry>();
      std::lock_guard<std::mutex> lock(m_mutex);
      if (read.open) m_open.Close(read.open);
      return;
    }
    if (m_options.pProgress != nullptr && m_options.pProgress->FolderWanted())
      m_options.pProgress->SetFolder(PathOf(read.strRawName));
    const std::uint64_t device = read.id.first;  // where a different one starts another mount
    const std::string placePath = m_excludes.HasPathPatterns() ? PlacePathOf(item) : std::string();
    std::vector<CDirEntry> excluded;
    CFrame frame;
    frame.pItem = &item;
    item.ReserveChildren(read.entries.size());
    for (CDirEntry& entry : read.entries) {
      if (!m_excludes.Empty() &&
          m_excludes.Excludes(entry.record.cFileName,
                              placePath.empty() ? entry.record.cFileName : placePath + '/' + entry.record.cFileName)) {
        excluded.push_back(std::move(entry));
        continue;
      }
      ETextCheck check = ETextCheck::Fine;
      CFileInfo* child = CItemBuilder::AddChild(item, entry.record, check);
      if (child == nullptr) {  // no file system gives such a name: not taken, not silently
        item.SetUnreadable(true);
        excluded.push_back(std::move(entry));
        continue;
      }
      child->SetUnreadable(entry.bUnreadable);
      child->SetRealNameCp932(entry.bNameCp932);
      child->SetEntryKind(EntryKindOf(entry));
      if (Descends(entry))
        frame.subfolders.push_back({static_cast<CFolderFileInfo*>(child),
                                    std::move(entry.strRawName),
                                    entry.bMountRoot || entry.nDevice != device,
                                    {entry.nDevice, entry.nInode},
                                    nullptr,
                                    PathBytesBelow(pathBytes, child->GetName().size())});
    }
    TakeBackCounts(excluded);
    read.entries = std::vector<CDirEntry>();
    std::lock_guard<std::mutex> lock(m_mutex);
    if (frame.subfolders.empty()) {
      if (read.open) m_open.Close(read.open);
      return;
    }
    frame.id = read.id;
    frame.strRawName = std::move(read.strRawName);
    const bool more = frame.subfolders.size() > 1;
    m_frames.push_back(std::move(frame));
    m_open.Move(read.open, m_frames.back().open);
    m_unbegun.push_back(m_frames.size() - 1);
    // A lone subfolder is the walk's next one: no reader is woken for it.
    if (more) m_work.notify_all();
  }

  void TakeBackCounts(const std::vector<CDirEntry>& entries) {
    if (m_options.pProgress == nullptr || entries.empty()) return;
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

  // The frame's folder cannot be reached: the subfolders nobody has begun
  // are not walked.
  void SkipUnbegun(std::size_t frameIndex) {
    CFrame& frame = m_frames[frameIndex];
    if (frame.nBegun > frame.nNext) return;  // those begun are still visited
    for (std::size_t i = frame.nNext; i < frame.subfolders.size(); ++i) frame.subfolders[i].pItem->SetUnreadable(true);
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
    if (frame.open && !m_open.IsPinned(frame.open) && !NeedsHandle(frame)) m_open.Close(frame.open);
  }

  void Pop() {
    std::lock_guard<std::mutex> lock(m_mutex);
    const std::size_t index = m_frames.size() - 1;
    if (!m_unbegun.empty() && m_unbegun.back() == index) m_unbegun.pop_back();
    if (m_frames[index].open) m_open.Close(m_frames[index].open);
    m_frames.pop_back();
    CheckInvariants();
  }

  // A finished read's descriptor, if it kept one.
  void KeepRead(CFolderRead& read) {
    if (read.nFd < 0) return;
    m_open.Keep(read.nFd, read.open, false);
    read.nFd = -1;
  }

  // Opens the folder of frame index, pinned, reopening it (and the closed
  // frames between it and the nearest open ancestor) by name. False when a
  // folder on the way cannot be opened or is no longer the one that was read.
  bool EnsureOpen(std::size_t index) {
    if (m_frames[index].open) {
      m_open.Pin(m_frames[index].open);
      return true;
    }
    std::size_t start = index;
    while (start > 0 && !m_frames[start - 1].open) --start;
    if (start > 0) m_open.Pin(m_frames[start - 1].open);
    for (std::size_t i = start; i <= index; ++i) {
      CFrame& frame = m_frames[i];
      int fd = OpenIn(i > 0 ? m_open.FdOf(m_frames[i - 1].open) : AT_FDCWD, frame.strRawName, true);
      CFolderId id;
      if (fd >= 0 && (!ReadFolderId(fd, id) || id != frame.id)) {
        m_lister.CloseFolder(fd);
        fd = -1;
      }
      if (fd >= 0) m_open.Keep(fd, frame.open, true);
      if (i > 0) {
        m_open.Unpin(m_frames[i - 1].open);
        ReleaseIfUnneeded(i - 1);
      }
      if (fd < 0) return false;
    }
    return true;
  }

  // After each step of the walk: every descriptor kept is in the list once,
  // with its owner pointing at it, and the list keeps to the budget.
  void CheckInvariants() const {
#ifndef NDEBUG
    m_open.CheckInvariants();
    for (std::size_t i = 1; i < m_unbegun.size(); ++i) assert(m_unbegun[i - 1] < m_unbegun[i]);
    for (const std::size_t index : m_unbegun)
      assert(index < m_frames.size() && m_frames[index].nBegun < m_frames[index].subfolders.size());
    if (m_frames.size() > kFramesCheckedWhole) return;
    std::size_t held = 0, ahead = 0;
    for (const CFrame& frame : m_frames) {
      assert(frame.nNext <= frame.nBegun && frame.nBegun <= frame.subfolders.size());
      if (frame.open) ++held;
      for (std::size_t i = 0; i < frame.subfolders.size(); ++i) {
        const CFolderRead* read = frame.subfolders[i].pRead.get();
        if (read == nullptr) continue;
        assert(i >= frame.nNext && i < frame.nBegun);
        ++ahead;
        if (read->open) ++held;
      }
    }
    assert(held == m_open.Count());
    assert(ahead == m_nAhead);
#endif
  }

  void StartReaders() {
    m_readers.reserve(std::size_t(m_nThreads));
    try {
      for (int i = 1; i < m_nThreads; ++i) m_readers.push_back(StartThread([this] { ReadAhead(); }));
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
      if (!frame.open) continue;
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
    if (m_bStop || m_options.Cancelled() || m_nAhead >= kReadAheadFolders || m_nAheadEntries >= kReadAheadEntries ||
        !FindUnbegun(frameIndex, index))
      return false;
    CFrame& frame = m_frames[frameIndex];
    const CSubfolder& subfolder = frame.subfolders[index];
    auto read = std::make_unique<CFolderRead>();
    read->strRawName = subfolder.strRawName;
    read->bCheckFileSystem = subfolder.bOtherMount;
    read->expected = subfolder.expected;
    frame.nBegun = index + 1;
    if (frame.nBegun == frame.subfolders.size()) DropUnbegun(frameIndex);
    CFolderRead& reading = *read;
    frame.subfolders[index].pRead = std::move(read);
    ++m_nAhead;
    // Pinned, the frame stays, with its descriptor, until the read is done.
    const int parentFd = m_open.Pin(frame.open);
    lock.unlock();
    Open(reading, parentFd, true);
    lock.lock();
    m_open.Unpin(frame.open);
    ReleaseIfUnneeded(frameIndex);
    KeepRead(reading);
    reading.bDone = true;
    m_nAheadEntries += reading.entries.size();
    m_done.notify_one();
    return true;
  }

  CFolderLister& m_lister;
  const int m_nThreads;
  const CScanOptions& m_options;
  const CExcludeRules m_excludes;
  const std::string m_strPlacePath;  // of the folder walked, below the place scanned
  // Links or other file systems may lead to a folder again (even to one on
  // the way down): then each real folder is walked once, the first time.
  const bool m_bOnce = m_options.bFollowLinks || m_options.bCrossFileSystems;
  std::uint64_t m_nRootDevice = 0;
  int m_nVisited = 0;  // folders taken by the walk below the first
  std::vector<std::thread> m_readers;

  // What follows is shared with the reading threads, under m_mutex (the walk
  // alone adds and removes frames, and reads its own fields without it).
  std::mutex m_mutex;
  std::condition_variable m_work;  // for the readers: something to read, or stop
  std::condition_variable m_done;  // for the walk: a read has finished
  bool m_bStop = false;
  std::set<CFolderId> m_walked;
  // Frames' descriptors and those of reads done; the budget is lowered when
  // the system runs out.
  COpenFolders m_open;
  std::deque<CFrame> m_frames;         // a deque: the slots in frames stay where they are
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
                const CScanOptions& options, const std::string& placePath) {
  const int threads = options.nThreads > 0 ? options.nThreads : DefaultScanThreads(path);
  // Half the descriptors are left to the rest of the program; each reader
  // may hold two beside the budget, the folder it reads in and the one it
  // opens.
  const int budget = std::min(openFolderBudget, OpenDescriptorLimit() / 2 - 2 * threads);
  CFolderWalk walk(lister, budget, threads, options, placePath);
  walk.Run(path, item);
}

int DefaultScanThreads(const std::string& path, const CMediaRoots& roots) {
  const int cores = std::max(1, int(std::thread::hardware_concurrency()));
  // Waiting on the server dominates there: more reads at once pay.
  return MediaTypeOf(ResolvedPath(path), roots) == kMediaNetwork ? std::max(cores, kNetworkScanThreads) : cores;
}

EFolderListing ListFolder(const std::string& path, std::vector<CFindData>& list) {
  CFolderLister lister;
  const int fd = lister.OpenFolder(AT_FDCWD, path);
  if (fd < 0) return EFolderListing::NotOpened;
  std::vector<CDirEntry> entries;
  lister.ReadEntries(fd, entries);
  lister.CloseFolder(fd);
  for (CDirEntry& entry : entries) list.push_back(std::move(entry.record));
  return EFolderListing::Listed;
}
