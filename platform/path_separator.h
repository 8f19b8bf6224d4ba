#pragma once
// The characters that end a folder's name in the system's paths: Windows
// takes both "\" and "/", Linux only "/" ("\" is a character of names).

#include <cstddef>
#include <string_view>

#ifdef _WIN32
inline constexpr char kPathSeparators[] = "\\/";
#else
inline constexpr char kPathSeparators[] = "/";
#endif
// The one the system's own paths are written with.
inline constexpr char kPathSeparator = kPathSeparators[0];

// The length of the root that begins path: "/", or a drive's "C:\" on
// Windows; 0 for a relative path (and for a share, which has no such root).
inline std::size_t RootLength(std::string_view path) {
#ifdef _WIN32
  return path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/') ? 3 : 0;
#else
  return !path.empty() && path[0] == '/' ? 1 : 0;
#endif
}

// True for a path from the root of the file system: "/..." on Linux, a
// drive's "C:\..." or a share's "\\server\..." on Windows.
inline bool IsRootedPath(std::string_view path) {
#ifdef _WIN32
  return RootLength(path) > 0 || (path.size() >= 2 && path[0] == '\\' && path[1] == '\\');
#else
  return RootLength(path) > 0;
#endif
}
