#pragma once
// The file list of a 7z archive read from its header, for the one case
// libarchive cannot list: data encrypted under plain headers, where it
// reads a link's target (data) with the link's header, fails to decrypt it
// and stops. The header names every member, so the listing takes the rest
// from here. Only what a listing needs is read; headers that are encrypted
// or packed other than by LZMA are not, and anything that does not parse
// is given up on whole.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct CSevenZipMember {
  std::string strPath;  // UTF-8, as stored ("/" between names)
  bool bFolder = false;
  std::uint64_t nSize = 0;
  std::uint64_t nMTime = 0;  // FILETIME; 0 when not stored
  std::uint64_t nCTime = 0;
};

// Reads size bytes at offset of the archive into out: false when they are
// not there (or the read fails). The caller's size is checked first.
using SevenZipReadAt = std::function<bool(std::uint64_t offset, std::size_t size, std::string& out)>;

// The archive's members in header order: false, members empty, when the
// header is not one this reads (encrypted, unknown coders, damaged, over
// the limits).
bool ReadSevenZipMembers(const SevenZipReadAt& readAt, std::vector<CSevenZipMember>& members);

// The CRC-32 the headers carry (that of zip and PNG).
std::uint32_t SevenZipCrc(std::string_view bytes);
