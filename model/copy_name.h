#pragma once
// The name a member's copy takes in its private folder: the member's own
// last name, so that the copy opens in the application its type calls for,
// made safe to create on every system the program runs on. Nothing in it is
// read as a folder, a drive, a stream or a device, and it fits a file
// system's name.

#include <cstddef>
#include <string>
#include <string_view>

// How a file system counts a name's length: Linux's in bytes, Windows' in
// UTF-16 units; both allow 255.
enum class ENameUnits { Bytes, Utf16 };
#ifdef _WIN32
inline constexpr ENameUnits kNativeNameUnits = ENameUnits::Utf16;
#else
inline constexpr ENameUnits kNativeNameUnits = ENameUnits::Bytes;
#endif
constexpr std::size_t kMaxFileNameUnits = 255;

// name with / \ : * ? " < > |, control characters and bytes that are no
// UTF-8 replaced by "_"; a Windows device name (CON, NUL.txt, com1.tar.gz
// ...) given a leading "_"; a trailing dot or space (which Windows drops)
// replaced; shortened to kMaxFileNameUnits at a character boundary, keeping
// its extension. Empty, "." and ".." give "member".
std::string SafeCopyName(std::string_view name, ENameUnits units = kNativeNameUnits);
