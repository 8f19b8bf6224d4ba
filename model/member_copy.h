#pragma once
// A copy of one archive member, to be opened by another program: taken out
// into a private folder made for it (platform/private_copy.h), under a name
// made from the member's own (copy_name.h), never a path from the listing.
// A copy that is not kept is removed with its folder, whatever ended it.

#include <string>

#include "model/archive_extract.h"
#include "platform/private_copy.h"

class CContentReader;
struct CWorkProgress;

class CMemberCopy {
 public:
  // Copies the member where of the archive reader serves from archivePath
  // into a new folder below area (progress, when given, as ExtractMember).
  // WriteFailed also when the folder or the file could not be made.
  EExtract Extract(CContentReader& reader, const std::string& archivePath, const CMemberPath& where,
                   const std::string& area, CWorkProgress* progress = nullptr);
  // Keeps the copy made (for RemoveOwnCopies to remove); its path.
  std::string Keep();

 private:
  CPrivateCopy m_copy;
};
