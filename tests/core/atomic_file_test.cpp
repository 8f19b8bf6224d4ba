#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

#include "model/set_file.h"
#include "platform/atomic_file.h"
#include "tests/core/test_util.h"

namespace {

std::set<std::string> Listing(const std::string& folder) {
  std::set<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (const dirent* entry = readdir(dir))
      if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..") names.insert(entry->d_name);
    closedir(dir);
  }
  return names;
}

CAtomicFile::EStep g_killAt;
void KillAtStep(CAtomicFile::EStep step) {
  if (step == g_killAt) raise(SIGKILL);
}

// Restores the test switches of CAtomicFile.
struct CAtomicFileSwitches {
  ~CAtomicFileSwitches() {
    CAtomicFile::s_bNoAnonymousFiles = false;
    CAtomicFile::s_bNoRenameNoReplace = false;
    CAtomicFile::s_pfnStepHook = nullptr;
  }
};

}  // namespace

// A save killed after any step leaves the old set or the new one, whole;
// what the killed save left is gone once the next save of the set is over.
TEST(AtomicFile, ASaveKilledAfterEachStepLeavesOneWholeSet) {
  CAtomicFileSwitches restore;
  CTempDir dir;
  const std::string path = dir.File("work.fcf");
  CRootFileInfo oldSet("old"), newSet("new"), lastSet("last");
  newSet.SetNoteText(std::string(200000, 'n'));
  const std::string oldBytes = WriteSetToBytes(oldSet), newBytes = WriteSetToBytes(newSet);
  for (const bool named : {false, true}) {
    CAtomicFile::s_bNoAnonymousFiles = named;
    for (int step = CAtomicFile::STEP_WRITTEN; step <= CAtomicFile::STEP_FOLDER_SYNCED; ++step) {
      SCOPED_TRACE(std::string(named ? "named, step " : "anonymous, step ") + std::to_string(step));
      ASSERT_EQ(WriteSetFile(path, oldSet), ESetFileError::None);
      g_killAt = CAtomicFile::EStep(step);
      const pid_t child = fork();
      if (child == 0) {
        CAtomicFile::s_pfnStepHook = KillAtStep;
        WriteSetFile(path, newSet);
        _exit(0);
      }
      int status = 0;
      ASSERT_EQ(waitpid(child, &status, 0), child);
      ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
      const std::string bytes = ReadFileBytes(path);
      EXPECT_EQ(bytes, step >= CAtomicFile::STEP_RENAMED ? newBytes : oldBytes);
      // Only a save that gave its temporary file a name and was killed before
      // renaming it can leave something; an anonymous one vanishes with its process.
      const bool leftover = step < CAtomicFile::STEP_RENAMED && (named || step == CAtomicFile::STEP_LINKED);
      EXPECT_EQ(Listing(dir.Path()).size(), leftover ? 2u : 1u);
      ASSERT_EQ(WriteSetFile(path, lastSet), ESetFileError::None);
      EXPECT_EQ(Listing(dir.Path()), std::set<std::string>{"work.fcf"});
      EXPECT_EQ(ReadFileBytes(path), WriteSetToBytes(lastSet));
    }
  }

  // The temporary file of a save still running is never taken for a stale one.
  CAtomicFile::s_bNoAnonymousFiles = true;
  CAtomicFile running(path);
  ASSERT_EQ(running.Open(), 0);
  ASSERT_EQ(WriteSetFile(path, oldSet), ESetFileError::None);
  ASSERT_EQ(write(running.Fd(), newBytes.data(), newBytes.size()), ssize_t(newBytes.size()));
  ASSERT_EQ(running.Commit(), 0);
  EXPECT_EQ(ReadFileBytes(path), newBytes);
  EXPECT_EQ(Listing(dir.Path()).size(), 1u);
}

// Only a regular file the user may write is replaced; the replacement keeps
// its mode, owner and group.
TEST(AtomicFile, WhatMayNotBeReplacedIsRefused) {
  CTempDir dir;
  const std::string path = dir.File("work.fcf");
  CRootFileInfo set("x");
  ASSERT_EQ(WriteSetFile(path, set), ESetFileError::None);
  const std::string before = ReadFileBytes(path);
  set.SetNoteText("changed");
  if (geteuid() == 0) {
    ASSERT_EQ(chown(path.c_str(), 1234, 5678), 0);
    ASSERT_EQ(chmod(path.c_str(), 0604), 0);
    ASSERT_EQ(WriteSetFile(path, set), ESetFileError::None);
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 1234u);
    EXPECT_EQ(st.st_gid, 5678u);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
    WriteFileBytes(path, before);
  }
  // Read-only: refused as writing in place would be, even for a privileged user.
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  EXPECT_EQ(WriteSetFile(path, set), ESetFileError::AccessDenied);
  EXPECT_EQ(ReadFileBytes(path), before);

  // A FIFO is neither replaced nor waited on (the alarm ends a test that hangs).
  const std::string fifo = dir.File("fifo.fcf");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
  alarm(60);
  std::unique_ptr<CRootFileInfo> loaded;
  EXPECT_EQ(ReadSetFile(fifo, loaded), ESetFileError::ReadFailure);
  EXPECT_EQ(WriteSetFile(fifo, set), ESetFileError::NotRegularFile);
  ESetFileError error = ESetFileError::None;
  EXPECT_FALSE(set.WriteHtmlReport(fifo, nullptr, {}, &error));
  EXPECT_EQ(error, ESetFileError::NotRegularFile);
  alarm(0);
  EXPECT_EQ(WriteSetFile(dir.Path(), set), ESetFileError::NotRegularFile);

  struct stat st {};
  ASSERT_EQ(stat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));

  // A link to nothing is neither replaced nor written through.
  const std::string broken = dir.File("broken.fcf");
  ASSERT_EQ(symlink("target.fcf", broken.c_str()), 0);
  EXPECT_EQ(WriteSetFile(broken, set), ESetFileError::BrokenLink);
  ASSERT_EQ(lstat(broken.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(Listing(dir.Path()), (std::set<std::string>{"broken.fcf", "fifo.fcf", "work.fcf"}));
}

namespace {

std::string g_strAppearing;
void AppearBeforeTheRename(CAtomicFile::EStep step) {
  if (step == CAtomicFile::STEP_LINKED) WriteFileBytes(g_strAppearing, "theirs");
}

}  // namespace

// A save that is only to make a new file never replaces one, not even one
// that appears after it looked, with or without a rename that refuses.
TEST(AtomicFile, ACreateOnlySaveNeverReplacesAFile) {
  CAtomicFileSwitches restore;
  CTempDir dir;
  const CRootFileInfo set("x");
  CSaveOptions createOnly;
  createOnly.bCreateOnly = true;
  for (const bool noReplaceRename : {true, false}) {
    SCOPED_TRACE(noReplaceRename ? "rename" : "link");
    CAtomicFile::s_bNoRenameNoReplace = !noReplaceRename;
    const std::string path = dir.File(noReplaceRename ? "a.fcf" : "b.fcf");
    ASSERT_EQ(WriteSetFile(path, set, nullptr, createOnly), ESetFileError::None);
    EXPECT_EQ(ReadFileBytes(path), WriteSetToBytes(set));
    EXPECT_EQ(WriteSetFile(path, set, nullptr, createOnly), ESetFileError::AlreadyExists);

    g_strAppearing = path + ".late";
    CAtomicFile::s_pfnStepHook = AppearBeforeTheRename;
    EXPECT_EQ(WriteSetFile(g_strAppearing, set, nullptr, createOnly), ESetFileError::AlreadyExists);
    CAtomicFile::s_pfnStepHook = nullptr;
    EXPECT_EQ(ReadFileBytes(g_strAppearing), "theirs");
  }
  EXPECT_EQ(Listing(dir.Path()), (std::set<std::string>{"a.fcf", "a.fcf.late", "b.fcf", "b.fcf.late"}));
}

// A save waits while another program holds the set's lock, and shows it; a
// cancel, while it writes or while it waits, leaves the file as it was and
// says the save was cancelled.
TEST(AtomicFile, ASaveWaitsForTheSetsLockUnlessCancelled) {
  CTempDir dir;
  const std::string path = dir.File("work.fcf");
  ASSERT_EQ(WriteSetFile(path, CRootFileInfo("old")), ESetFileError::None);
  const std::string before = ReadFileBytes(path);
  CRootFileInfo set("new");
  auto catalog = MakeCatalog("C");
  for (int i = 0; i < 5000; ++i) catalog->AddChildOfKind(CFileInfo::KIND_FILE, FileRecord(std::to_string(i)));
  set.AppendCatalog(std::move(catalog), 0);

  CWorkProgress progress;
  std::atomic<bool> cancel{true};
  progress.pCancel = &cancel;
  EXPECT_EQ(WriteSetFile(path, set, &progress), ESetFileError::Cancelled);
  EXPECT_EQ(ReadFileBytes(path), before);

  for (const bool cancelled : {true, false}) {
    SCOPED_TRACE(cancelled ? "cancelled" : "released");
    auto held = std::make_unique<CReplaceLock>();
    ASSERT_TRUE(held->Acquire(path));
    cancel.store(false);
    ESetFileError error = ESetFileError::None;
    std::thread save([&] { error = WriteSetFile(path, set, &progress); });
    for (int i = 0; i < 6000 && !progress.bWaiting.load(); ++i) usleep(10000);
    EXPECT_TRUE(progress.bWaiting.load());
    EXPECT_EQ(ReadFileBytes(path), before);
    if (cancelled)
      cancel.store(true);
    else
      held.reset();
    save.join();
    EXPECT_EQ(error, cancelled ? ESetFileError::Cancelled : ESetFileError::None);
    EXPECT_EQ(ReadFileBytes(path), cancelled ? before : WriteSetToBytes(set));
  }
  EXPECT_EQ(Listing(dir.Path()), std::set<std::string>{"work.fcf"});
}

// A new file's mode is the kernel's choice: where the folder has a default
// ACL, that ACL and not the umask gives it.
TEST(AtomicFile, ANewFileHasTheModeTheKernelGives) {
  CAtomicFileSwitches restore;
  CTempDir dir;
  struct {
    std::uint32_t version = 2;
    struct {
      std::uint16_t tag, perm;
      std::uint32_t id;
    } entries[3] = {{0x01, 6, ~0u}, {0x04, 6, ~0u}, {0x20, 4, ~0u}};  // user rw, group rw, others r
  } acl;
  if (setxattr(dir.Path().c_str(), "system.posix_acl_default", &acl, sizeof acl, 0) != 0)
    GTEST_SKIP() << "no ACLs on this file system";
  const mode_t mask = umask(077);
  for (const bool named : {false, true}) {
    CAtomicFile::s_bNoAnonymousFiles = named;
    const std::string path = dir.File(named ? "named.fcf" : "anonymous.fcf");
    EXPECT_EQ(WriteSetFile(path, CRootFileInfo("x")), ESetFileError::None);
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0664u) << (named ? "named" : "anonymous");
  }
  umask(mask);
}
