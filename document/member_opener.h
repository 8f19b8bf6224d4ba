#pragma once
// Members of archives are opened from a copy: the one member is taken out
// into a private folder of this run (removed at exit), and that copy opened.

#include <string>

struct CMemberPath;

// Writes the member where of the archive at archivePath (a real path) into
// a folder of its own below this run's private folder; path gets the copy's
// real path. False when the member could not be read or written.
bool ExtractMemberCopy(const std::string& archivePath, const CMemberPath& where, std::string& path);

// Removes the private folder and every copy in it (at exit).
void RemoveMemberCopies();
