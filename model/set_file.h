#pragma once
// Reading and writing a whole catalog set file.

#include <memory>
#include <string>
#include <string_view>

#include "model/root_file_info.h"
#include "model/set_file_error.h"
#include "model/work_progress.h"
#include "platform/atomic_file.h"

// Reads a set; on any error out is left empty. progress counts bytes read.
ESetFileError ReadSetFile(const std::string& path, std::unique_ptr<CRootFileInfo>& out,
                          CWorkProgress* progress = nullptr);
ESetFileError ReadSetFromBytes(std::string_view bytes, std::unique_ptr<CRootFileInfo>& out);

inline constexpr const char kWaitingForOtherProgramMessage[] =
    "他のプログラムがこのカタログセットを変更中です。終わるのを待っています";

// How WriteSetFile puts the new file in place.
struct CSaveOptions {
  // Fails with AlreadyExists when anything stands at the path, even
  // something that appeared while the set was written.
  bool bCreateOnly = false;
  // The caller holds the path's CReplaceLock, taken when it read the set.
  bool bLockHeld = false;
  // Fails with ChangedOnDisk when the file is there and no longer this version.
  const CFileIdentity* pReplaceable = nullptr;
  // Called once when another program holds the lock and the save waits.
  void (*pfnWaiting)() = nullptr;
};

// Writes set to path atomically: a temporary file in the same folder, synced,
// then renamed over the old one under the path's CReplaceLock, so that a
// program that read the set to change it does not save over this one; on
// failure the old file is untouched. progress counts items written and shows
// the wait for the lock; when it is cancelled before the rename, the write or
// the wait stops and the result is Cancelled.
ESetFileError WriteSetFile(const std::string& path, const CRootFileInfo& set, CWorkProgress* progress = nullptr,
                           const CSaveOptions& options = {});
std::string WriteSetToBytes(const CRootFileInfo& set);

// The set's display name for a file path: "work.fcf" gives "work カタログセット",
// no path "新しいカタログセット", and a name that is all extension the whole path.
std::string MakeSetName(const std::string& path);
