#pragma once
// The folder descriptors a walk keeps open, in one list, most recently used
// first: the number open is the list's length, never a count kept beside it.
// Each belongs to an owner (a frame of the walk, a read that is done) whose
// slot points into the list and which the entry points back to. A pinned
// descriptor is in use for opening a folder inside it and stays open. Not
// thread-safe: the walk calls it under its lock.

#include <cstddef>
#include <list>
#include <optional>

class CFolderLister;

class COpenFolders {
  struct COpen;

 public:
  // Where an owner keeps its descriptor's place: empty when it has none.
  using CSlot = std::optional<std::list<COpen>::iterator>;

  COpenFolders(CFolderLister& lister, std::size_t budget);
  ~COpenFolders();  // closes all
  COpenFolders(const COpenFolders&) = delete;
  COpenFolders& operator=(const COpenFolders&) = delete;

  // Keeps fd open for owner, pinned or not; closes the least recently used
  // ones not pinned beyond the budget (fd itself, unless pinned).
  void Keep(int fd, CSlot& owner, bool pinned);
  // Hands from's descriptor to to.
  void Move(CSlot& from, CSlot& to);
  // Marks the descriptor used now and in use until Unpin, and gives it.
  int Pin(CSlot& slot);
  void Unpin(CSlot& slot);
  bool IsPinned(const CSlot& slot) const;
  int FdOf(const CSlot& slot) const;
  void Close(CSlot& slot);
  // The system has no descriptor to spare: closes half of those not in use
  // and keeps to what is left from now on. False when none could be closed.
  bool Shed();

  std::size_t Count() const { return m_open.size(); }
  // Asserts that every entry and its owner point at each other and that the
  // list keeps to the budget (Debug builds).
  void CheckInvariants() const;

 private:
  struct COpen {
    int nFd;
    int nPins;
    CSlot* pOwner;
  };
  std::list<COpen>::iterator CloseAt(std::list<COpen>::iterator it);
  // Closes the least recently used descriptors not in use until count are
  // left: for a walk, the shallowest folders, which it returns to last, and
  // the reads ahead it reaches last.
  void CloseDownTo(std::size_t count);

  CFolderLister& m_lister;
  std::size_t m_nBudget;
  std::list<COpen> m_open;
};
