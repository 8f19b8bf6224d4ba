#pragma once
// Reading folders into find-data records, relative to open descriptors so
// that neither the length of a path nor the depth of a tree limits the walk.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/find_data.h"

class CScanProgress;

// One entry of a folder: the record the catalog keeps, whose name is UTF-8,
// and the name's real bytes, which are what the file system must be given.
struct CDirEntry {
  std::string strRawName;
  CFindData record;
  // Of what the record describes (a link's target): the device it lives on
  // and its number there (both 0 when unknown), and whether it is the root
  // of a mount (another file system, or a bind mount of the same one).
  std::uint64_t nDevice = 0;
  std::uint64_t nInode = 0;
  bool bMountRoot = false;
  // The record's name is the text of a CP932 name (KeepNamesDistinct says).
  bool bNameCp932 = false;
  // The entry's facts could not be taken: the record holds only its name and
  // what the folder listing told of its kind.
  bool bUnreadable = false;
  // A symbolic link (on Windows a symbolic link or junction) not followed as
  // a folder: the record holds its own facts (a link to a folder keeps the
  // directory bit, with size 0). A link followed as a folder is recorded as
  // the folder it leads to, and is no link here.
  bool bLink = false;
  // Neither a regular file, a folder nor a link (a FIFO, a socket, a device).
  bool bSpecial = false;
};

// Opens and reads folders. The walk goes through this interface so that a
// folder that cannot be opened can be simulated; it calls one lister from
// several threads at once.
class CFolderLister {
 public:
  virtual ~CFolderLister() = default;

  // Opens the folder name inside the open folder dirFd, or the folder at the
  // path name when dirFd is AT_FDCWD (also when the path is longer than
  // PATH_MAX; links on a path are always followed). Inside a folder, a link
  // in name's place is followed only when follow is set. Returns a
  // descriptor the caller gives to CloseFolder, or -1 with errno set.
  virtual int OpenFolder(int dirFd, const std::string& name, bool follow = false);
  virtual void CloseFolder(int fd);

  // Appends the entries of the open folder fd ("." and ".." skipped) in the
  // order the reads return them; entries that vanish meanwhile are left out.
  // False when a read failed, even part way (what it appended is then not
  // the whole folder). Stops early, between entries, once the cancel flag is
  // set.
  virtual bool ReadEntries(int fd, std::vector<CDirEntry>& out);

  // Entries read are counted into progress; cancel is polled before each.
  void Watch(CScanProgress* progress, const std::atomic<bool>* cancel) {
    m_pProgress = progress;
    m_pCancel = cancel;
  }
  // Whether ReadEntries takes a link to a folder as that folder (the walk
  // follows links) or as a link.
  void FollowFolderLinks(bool follow) { m_bFollowFolderLinks = follow; }

 protected:
  CScanProgress* m_pProgress = nullptr;
  const std::atomic<bool>* m_pCancel = nullptr;
  bool m_bFollowFolderLinks = false;
};

// How many descriptors the process may hold, after raising the soft limit
// towards the hard one where that is allowed.
int OpenDescriptorLimit();

// Opens path as a folder, walking it component by component when it is too
// long for one call. Returns a descriptor or -1 with errno set.
int OpenFolderPath(const std::string& path);

// Fills out with the record of the entry name inside the open folder dirFd,
// a link to a folder taken as that folder (as a path is), any other link as
// itself. False when the entry does not exist (or cannot be looked at at all).
bool ReadEntryRecord(int dirFd, const std::string& name, CFindData& out);
// The same with the entry's kind, device and mount facts.
bool ReadEntry(int dirFd, const std::string& name, CDirEntry& out);

// The record of the entry at path, as ReadEntryRecord; false when it cannot
// be found. ReadPathEntry adds the entry's kind.
bool ReadPathRecord(const std::string& path, CFindData& out);
bool ReadPathEntry(const std::string& path, CDirEntry& out);

// The same, telling an entry that is not there from one that could not be
// looked at (a folder on the way that may not be searched): only the first
// is gone.
enum class EPathLookup { Found, Missing, Unreadable };
EPathLookup LookUpPathEntry(const std::string& path, CDirEntry& out);
