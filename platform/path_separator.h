#pragma once
#include <string_view>
// The characters that end a folder's name in the system's paths: Windows
// takes both "\" and "/", Linux only "/" ("\" is a character of names).

#ifdef _WIN32
inline constexpr char kPathSeparators[] = "\\/";
#else
inline constexpr char kPathSeparators[] = "/";
#endif
// The one the system's own paths are written with.
inline constexpr char kPathSeparator = kPathSeparators[0];

// True for a path from the root of the file system: "/..." on Linux, a
// drive's "C:\..." or a share's "\\server\..." on Windows.
inline bool IsRootedPath(std::string_view path) {
#ifdef _WIN32
  if (path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) return true;
  return path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
#else
  return !path.empty() && path[0] == '/';
#endif
}
