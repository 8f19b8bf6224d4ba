#pragma once
// The characters that end a folder's name in the system's paths: Windows
// takes both "\" and "/", Linux only "/" ("\" is a character of names).

#ifdef _WIN32
inline constexpr char kPathSeparators[] = "\\/";
#else
inline constexpr char kPathSeparators[] = "/";
#endif
