#pragma once
// The path rules the scanner works by: "/" on Linux; drives ("C:\") and
// backslashes on Windows. The public ones are declared in model/scan.h.

#include <string>

#include "platform/path_separator.h"  // RootLength

// Whether path is a root alone ("/", "C:\").
bool IsRootPath(const std::string& path);

// The folder holding path (the root for an entry of the root); path itself
// when it has no separator.
std::string ParentOf(const std::string& path);

// Whether path lies below folder (both absolute, without a trailing separator).
bool IsInside(const std::string& path, const std::string& folder);

// Where path leads, links resolved; path itself when it cannot be resolved.
std::string ResolvedPath(const std::string& path);

// The last component of path; empty for a root.
std::string LastNameOf(const std::string& path);
