#pragma once
// Taking one member out of an archive, so that it can be opened: the
// member is found by its names in the listing (never by a path on disk)
// and its bytes handed to a sink, which decides where they go.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/archive_listing.h"

class CRootFileInfo;
struct CWorkProgress;

// Where a member of a listed archive is: the logical path of the archive
// on the medium, and the member's names below it, one list per archive on
// the way (an archive inside an archive starts a new list).
struct CMemberPath {
  std::string strArchive;
  std::vector<std::vector<std::string>> levels;
  std::uint64_t nListedSize = 0;  // the member's size in the listing
};

// False when logicalPath leads into no listed archive.
bool SplitMemberPath(const CRootFileInfo& set, const std::string& logicalPath, CMemberPath& out);

using CDataSink = std::function<bool(const char* data, std::size_t size)>;
// TooLarge: the member expanded past its listed size (kMemberCopySlackBytes
// allowed), which only a damaged or crafted archive does. NotAFile: a
// symbolic link, a device or a FIFO, whose data is never taken. WriteFailed:
// the sink refused the bytes.
enum class EExtract { Done, NotFound, Unreadable, Cancelled, TooLarge, NotAFile, WriteFailed };

// Hands sink the bytes of the member levels names in the archive reader
// serves from path, listed with listedSize bytes. A hard link is read from
// the member it links to (within that member's size). There is no deadline:
// progress, when given, counts the bytes against the listed size and
// carries the cancel flag.
EExtract ExtractMember(CContentReader& reader, const std::string& path,
                       const std::vector<std::vector<std::string>>& levels, std::uint64_t listedSize,
                       const CDataSink& sink, CWorkProgress* progress = nullptr,
                       const CArchiveLimits& limits = CArchiveLimits());
