#pragma once
// Splitting and joining logical paths: the catalog's label, then the folder
// names, joined by single backslashes. A backslash byte never occurs inside
// a multibyte UTF-8 character, so plain byte searches are safe.

#include <string>

// folder = the text before the last backslash, name = the text after it;
// false (folder empty, name = path) when path holds no backslash.
bool SplitAtLastBackslash(const std::string& path, std::string& folder, std::string& name);

// head = the text before the first backslash, rest = the text after it;
// false (head = path, rest empty) when path holds no backslash.
bool SplitAtFirstBackslash(const std::string& path, std::string& head, std::string& rest);

// The path of name inside folder; at the set level (folder empty) just name.
std::string ChildPath(const std::string& folder, const std::string& name);
