#pragma once
// A copy of an archive member, to be opened by another program, lives in a
// folder made for that one copy (mode 0700), below one folder of the
// program's for the user (its "area"). The copy is created in its folder by
// name, never over anything and never through a link, so nothing outside
// the folder is opened for writing. Each folder is named after the process
// that made it ("PID-N"): folders of a process that has ended (a program
// that was killed) are stale, and removed at the next start.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

class CPrivateCopy {
 public:
  CPrivateCopy() = default;
  // Removes the folder and its file unless kept.
  ~CPrivateCopy();
  CPrivateCopy(const CPrivateCopy&) = delete;
  CPrivateCopy& operator=(const CPrivateCopy&) = delete;

  // Makes the area when it is not there (a place another user holds, or a
  // link, is refused), a new folder in it, and the file name (one safe name,
  // no separators) in that. 0 or an errno value.
  int Create(const std::string& area, const std::string& name);
  // False when the file could not take the bytes.
  bool Write(const char* data, std::size_t size);
  // Closes the file (the last of its data may fail to write here): 0 or an
  // errno value.
  int Close();
  // The folder and its file stay, for the program that opens the copy,
  // until RemoveOwnCopies.
  void Keep() { m_bKept = true; }
  // The file's path, once created.
  const std::string& Path() const { return m_strPath; }

 private:
  void Remove();

  std::string m_strArea;
  std::string m_strFolder;  // its name in the area
  std::string m_strPath;
#ifdef _WIN32
  void* m_hFile = nullptr;
#else
  int m_areaFd = -1;
  int m_folderFd = -1;
  int m_fd = -1;
#endif
  bool m_bKept = false;
};

// The name of a copy's folder, and the process id a folder's name carries
// (0 for a name not of that form: not one of ours).
std::string CopyFolderName(std::int64_t pid, unsigned serial);
std::int64_t CopyFolderOwner(const std::string& name);

// The area the program uses: "quarrix-members-USER" in the temporary folder.
std::string DefaultCopyArea();

// Removes the folders below area whose owner (CopyFolderOwner) remove
// accepts; links in them are removed, never followed.
void RemoveCopyFolders(const std::string& area, const std::function<bool(std::int64_t owner)>& remove);
// Removes the folders below area that this process made (at exit).
void RemoveOwnCopies(const std::string& area);
// Removes the folders below area whose process no longer runs, and those
// named after this process, which a program before it of the same id left
// (at start, before any copy is made). Nothing but such folders is touched,
// and links in them are removed, never followed.
void RemoveStaleCopies(const std::string& area);
