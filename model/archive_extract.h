#pragma once
// Taking one member out of an archive, so that it can be opened: the
// member is found by its names in the listing (never by a path on disk)
// and its bytes handed to a sink, which decides where they go.

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "model/archive_listing.h"

class CRootFileInfo;

// Where a member of a listed archive is: the logical path of the archive
// on the medium, and the member's names below it, one list per archive on
// the way (an archive inside an archive starts a new list).
struct CMemberPath {
  std::string strArchive;
  std::vector<std::vector<std::string>> levels;
};

// False when logicalPath leads into no listed archive.
bool SplitMemberPath(const CRootFileInfo& set, const std::string& logicalPath, CMemberPath& out);

using CDataSink = std::function<bool(const char* data, std::size_t size)>;
enum class EExtract { Done, NotFound, Unreadable, Cancelled };

// Hands sink the bytes of the member levels names in the archive reader
// serves from path. Unreadable also when sink refuses them.
EExtract ExtractMember(CContentReader& reader, const std::string& path,
                       const std::vector<std::vector<std::string>>& levels, const CDataSink& sink,
                       const CArchiveLimits& limits = CArchiveLimits(), const std::atomic<bool>* cancel = nullptr);
