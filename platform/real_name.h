#pragma once
// Names on disk and names of items. A real name is whatever bytes the file
// system holds; an item name is valid UTF-8 text without "\", the separator
// of logical paths. Valid UTF-8 names stay as they are; a name that is valid
// CP932 instead (an old Japanese archive) reads as its Japanese text; any
// other byte, and "\", is kept as an escape (cp932_codec.h) that gives the
// byte back, so different real names stay different and every item leads
// back to its file.

#include <string>
#include <string_view>
#include <vector>

struct CDirEntry;

// The item name for a real name.
std::string ItemNameOf(std::string_view realName);

// Whether name, which ItemNameOf gave for realName, is realName's CP932 text.
bool IsCp932ItemName(std::string_view realName, std::string_view name);

// A name taken from CP932 may equal a sibling's name: such names take their
// escaped form instead. Sets bNameCp932 of the entries whose names stay
// CP932 text. Call with all entries of one folder.
void KeepNamesDistinct(std::vector<CDirEntry>& entries);

// A real path as text (a catalog's base path): escapes for bytes that are not
// UTF-8, "/" and "\" kept.
std::string PathTextOf(std::string_view realPath);

// The real path of rest (item names joined by "\", the logical path below a
// catalog) under the catalog's base path text. Each name is taken as UTF-8,
// or in CP932 when only that form exists on disk.
std::string RealPathBelow(std::string_view basePathText, std::string_view rest);
