#pragma once
// Reading and writing a whole catalog set file.

#include <atomic>
#include <memory>
#include <string>
#include <string_view>

#include "model/root_file_info.h"
#include "model/set_file_error.h"

// Reads a set; on any error out is left empty.
ESetFileError ReadSetFile(const std::string& path, std::unique_ptr<CRootFileInfo>& out);
ESetFileError ReadSetFromBytes(std::string_view bytes, std::unique_ptr<CRootFileInfo>& out);

// Writes set to path atomically: a temporary file in the same folder, synced,
// then renamed over the old one; on failure the old file is untouched. When
// cancel turns true before the rename, the write stops and fails the same way.
ESetFileError WriteSetFile(const std::string& path, const CRootFileInfo& set,
                           const std::atomic<bool>* cancel = nullptr);
std::string WriteSetToBytes(const CRootFileInfo& set);

// The set's display name for a file path: "work.fcf" gives "work カタログセット",
// no path "新しいカタログセット", and a name that is all extension the whole path.
std::string MakeSetName(const std::string& path);
