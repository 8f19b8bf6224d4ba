#pragma once
// Reading and writing a whole catalog set file.

#include <memory>
#include <string>
#include <string_view>

#include "model/root_file_info.h"
#include "model/set_file_error.h"
#include "model/work_progress.h"

// Reads a set; on any error out is left empty. progress counts bytes read.
ESetFileError ReadSetFile(const std::string& path, std::unique_ptr<CRootFileInfo>& out,
                          CWorkProgress* progress = nullptr);
ESetFileError ReadSetFromBytes(std::string_view bytes, std::unique_ptr<CRootFileInfo>& out);

// Writes set to path atomically: a temporary file in the same folder, synced,
// then renamed over the old one; on failure the old file is untouched.
// progress counts items written; when it is cancelled before the rename, the
// write stops and fails the same way.
ESetFileError WriteSetFile(const std::string& path, const CRootFileInfo& set, CWorkProgress* progress = nullptr);
std::string WriteSetToBytes(const CRootFileInfo& set);

// The set's display name for a file path: "work.fcf" gives "work カタログセット",
// no path "新しいカタログセット", and a name that is all extension the whole path.
std::string MakeSetName(const std::string& path);
