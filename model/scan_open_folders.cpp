#include "model/scan_open_folders.h"

#include <algorithm>
#include <cassert>

#include "platform/dir_reader.h"

COpenFolders::COpenFolders(CFolderLister& lister, std::size_t budget)
    : m_lister(lister), m_nBudget(std::max<std::size_t>(budget, 1)) {}

COpenFolders::~COpenFolders() {
  for (const COpen& open : m_open) m_lister.CloseFolder(open.nFd);
}

void COpenFolders::Keep(int fd, CSlot& owner, bool pinned) {
  m_open.push_front({fd, pinned ? 1 : 0, &owner});
  owner = m_open.begin();
  CloseDownTo(m_nBudget);
}

void COpenFolders::Move(CSlot& from, CSlot& to) {
  to = from;
  from.reset();
  if (to) (*to)->pOwner = &to;
}

int COpenFolders::Pin(CSlot& slot) {
  m_open.splice(m_open.begin(), m_open, *slot);
  ++(*slot)->nPins;
  return (*slot)->nFd;
}

void COpenFolders::Unpin(CSlot& slot) {
  --(*slot)->nPins;
  CloseDownTo(m_nBudget);
}

bool COpenFolders::IsPinned(const CSlot& slot) const { return (*slot)->nPins > 0; }

int COpenFolders::FdOf(const CSlot& slot) const { return (*slot)->nFd; }

void COpenFolders::Close(CSlot& slot) { CloseAt(*slot); }

bool COpenFolders::Shed() {
  const std::size_t unpinned =
      std::count_if(m_open.begin(), m_open.end(), [](const COpen& open) { return open.nPins == 0; });
  if (unpinned == 0) return false;
  const std::size_t target = m_open.size() - (unpinned + 1) / 2;
  CloseDownTo(target);
  m_nBudget = std::max<std::size_t>(1, target);
  return true;
}

std::list<COpenFolders::COpen>::iterator COpenFolders::CloseAt(std::list<COpen>::iterator it) {
  assert(it->nPins == 0);
  m_lister.CloseFolder(it->nFd);
  it->pOwner->reset();
  return m_open.erase(it);
}

void COpenFolders::CloseDownTo(std::size_t count) {
  for (auto it = m_open.end(); m_open.size() > count && it != m_open.begin();) {
    --it;
    if (it->nPins == 0) it = CloseAt(it);
  }
}

void COpenFolders::CheckInvariants() const {
#ifndef NDEBUG
  std::size_t pinned = 0;
  for (auto it = m_open.begin(); it != m_open.end(); ++it) {
    assert(it->nFd >= 0 && it->nPins >= 0);
    assert(it->pOwner != nullptr && it->pOwner->has_value() && **it->pOwner == it);
    if (it->nPins > 0) ++pinned;
  }
  assert(m_open.size() <= m_nBudget + pinned);
#endif
}
