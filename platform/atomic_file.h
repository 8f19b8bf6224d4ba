#pragma once
// Replacing a file without ever leaving it half written, and without leaving
// temporary files behind. The new contents go to an anonymous file in the
// target's folder (O_TMPFILE), which is synced, linked beside the target
// under a name of our own and renamed over it. Where the file system has no
// anonymous files, the temporary file gets that name at once. Such a name
// (".NAME.quarrix-tmp-PID-…") is locked while its save runs, so one that a
// killed save left is recognised and removed by the next save of the target.
// Windows has no anonymous files and no such locks: there the name carries
// the save's process id, and a name whose process is gone is stale.

#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

class CAtomicFile {
 public:
  // Open's answer for a target that exists and is not a regular file
  // (a folder, a FIFO, a device): it is never replaced.
  static constexpr int NOT_REGULAR = -1;
  // Open's answer for a target that is a link to nothing: writing through it
  // would make a file wherever it points (an unmounted medium's mount point,
  // say), and replacing it would lose the link, so it is refused.
  static constexpr int BROKEN_LINK = -2;

  // REPLACE puts the new file over whatever regular file is there;
  // CREATE_ONLY fails with EEXIST when anything stands at the name, even
  // something that appeared while the file was written.
  enum EMode { REPLACE, CREATE_ONLY };

  // The steps of a save, for tests that stop it after each one.
  enum EStep { STEP_WRITTEN, STEP_SYNCED, STEP_LINKED, STEP_RENAMED, STEP_FOLDER_SYNCED };
  static void (*s_pfnStepHook)(EStep step);
  static bool s_bNoAnonymousFiles;   // tests: take the named way
  static bool s_bNoRenameNoReplace;  // tests: as on file systems whose rename always replaces

  // A link is written through: its target is replaced and the link stays.
  explicit CAtomicFile(const std::string& target, EMode mode = REPLACE);
  ~CAtomicFile();  // removes the temporary file unless committed
  CAtomicFile(const CAtomicFile&) = delete;
  CAtomicFile& operator=(const CAtomicFile&) = delete;

  // Makes the temporary file with the mode, owner and group of the file it
  // will replace (where the user may set them; a new file's mode is the
  // kernel's choice, from the umask or the folder's default ACL). Refuses a
  // target that is not a regular file (NOT_REGULAR), a broken link
  // (BROKEN_LINK) and one the user may not write (EACCES). 0 or an errno value.
  int Open();
  int Fd() const { return m_fd; }
  // Syncs the temporary file and puts it in place; 0 or an errno value.
  int Commit();

 private:
  std::string TempPrefix() const;
  void RemoveStaleTemporaries() const;
  int LinkAnonymous();
  int PlaceWithoutReplacing();

  std::string m_strTarget;
  std::string m_strName;      // the target's name in its folder
  std::string m_strTempName;  // once the temporary file has a name
  int m_fd = -1;
  int m_dirFd = -1;
  EMode m_eMode;
  bool m_bCommitted = false;
};

// What tells one version of a file from another: a save replaces the inode.
struct CFileIdentity {
  std::uint64_t dev = 0;  // wide enough for Windows' volume serial and file index
  std::uint64_t ino = 0;
  std::int64_t size = 0;
  timespec mtime{};
  bool operator==(const CFileIdentity& o) const {
    return dev == o.dev && ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec &&
           mtime.tv_nsec == o.mtime.tv_nsec;
  }
  bool operator!=(const CFileIdentity& o) const { return !(*this == o); }
};
// False when path cannot be examined (a missing file among them).
bool GetFileIdentity(const std::string& path, CFileIdentity& out);

// Whether path is a file that exists and that the user may not write, as
// CAtomicFile::Open decides: a refused save was then the file's doing, not
// its folder's.
bool IsReadOnlyFile(const std::string& path);

// Both paths name one existing file (a link to it counts as the file).
inline bool IsSameFile(const std::string& a, const std::string& b) {
  CFileIdentity first, second;
  return GetFileIdentity(a, first) && GetFileIdentity(b, second) && first.dev == second.dev && first.ino == second.ino;
}

// An advisory lock on a file that atomic saves replace, held by a program
// from reading the file to writing it back: a second program waits until
// the first has saved, then reads what it saved.
class CReplaceLock {
 public:
  CReplaceLock() = default;
  ~CReplaceLock();
  CReplaceLock(const CReplaceLock&) = delete;
  CReplaceLock& operator=(const CReplaceLock&) = delete;

  // Locks the file at path, or its folder while there is no file. waiting
  // is called once when another program holds the lock and we wait for it;
  // the wait ends, with false, when cancel turns true. Also false when
  // neither can be opened; the caller then meets the error reading the file.
  // One program must not acquire a lock it holds: it would wait for itself.
  bool Acquire(const std::string& path, const std::function<void()>& waiting = {},
               const std::atomic<bool>* cancel = nullptr);

 private:
#ifdef _WIN32
  void* m_hMutex = nullptr;  // named after the file: Windows locks block reads
#else
  int m_fd = -1;
#endif
};
