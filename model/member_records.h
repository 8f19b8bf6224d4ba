#pragma once
// The members of a catalog's listed archives as the extension block keeps
// them (record type 4, docs/extension-block.md): per archive its offset
// below the catalog and its state, then its members in pre-order, each
// naming its parent by position so that folders and archives inside the
// archive need no paths.

#include <cstdint>
#include <string>
#include <string_view>

class CDriveFileInfo;

// The record's payload for catalog; empty when it lists no archive.
std::string EncodeMemberRecords(const CDriveFileInfo& catalog);

// Whether payload reads whole and names only files of catalog as archives.
bool CheckMemberRecords(std::string_view payload, const CDriveFileInfo& catalog);

// Gives catalog's archives the members payload lists (checked before); a
// member is taken to be made when it was last written, unless a record of
// creation times says otherwise.
void ApplyMemberRecords(std::string_view payload, CDriveFileInfo& catalog);

// The creation times of catalog's members that differ from their
// modification times (record type 5), for the members record members;
// empty when none does. Kept apart so that older programs, which refuse a
// member record they cannot read whole, keep the members and ignore this.
std::string EncodeMemberTimes(const CDriveFileInfo& catalog, std::string_view members);
bool CheckMemberTimes(std::string_view payload);
// Gives catalog's members the times payload lists, when they are still the
// members it was written for.
void ApplyMemberTimes(std::string_view payload, CDriveFileInfo& catalog);
