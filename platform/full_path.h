#pragma once
// A path made whole by the system's own rules.

#include <string>

// Where path leads from the working folder, links resolved where the system
// resolves them; empty when it cannot be told. On Windows a path that is
// already whole is kept as written: the system's rules would trim a name
// that ends in a dot or a space.
std::string FullPathOf(const std::string& path);
