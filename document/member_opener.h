#pragma once
// Members of archives are opened from a copy (model/member_copy.h), taken
// out on a worker thread while a progress dialog shows the bytes against
// the member's listed size and offers キャンセル. Copies stay until the
// program ends; those a killed program left go at the next start.

#include <cstdint>
#include <string>

#include "model/archive_extract.h"

class wxWindow;

// Where the copies go: DefaultCopyArea() unless a test names another.
std::string& MemberCopyArea();

// Takes the member where of the archive at archivePath (a real path) out,
// the dialogs owned by parent; path gets the copy's path on Done. Any other
// result leaves nothing behind.
EExtract ExtractMemberCopy(wxWindow* parent, const std::string& archivePath, const CMemberPath& where,
                           std::string& path);

// What the user is told when taking a member out ended with result (not
// Done).
std::string MemberCopyMessage(EExtract result);
// The progress dialog's text while name is taken out.
std::string MemberCopyProgressText(const std::string& name, std::uint64_t done, std::uint64_t total);

// Removes this run's copies (at exit).
void RemoveMemberCopies();
// Removes the copies of programs that ended without removing theirs (at
// start, before any copy is made).
void RemoveLeftMemberCopies();
