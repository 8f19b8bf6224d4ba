#pragma once
// The real name of a catalogued item, from what the scan recorded: the
// bytes the file system held, whatever is on disk now; and the real path
// of an item, built from those names under its catalog's base path.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CFileInfo;
class CDriveFileInfo;
class CRootFileInfo;

// Whether bytes can be one name below a folder and nothing else: not empty,
// ".", "..", nor holding a separator or a NUL.
bool IsPlainRealName(std::string_view bytes);

// The name's bytes on disk: its CP932 form when the scan decoded it from
// CP932, else its text with every escape turned back into its byte.
std::string RealNameOf(const CFileInfo& item);

// The real path of the item at rest, its logical path below catalog (names
// joined by "\"; empty for the catalog's base path itself). Each name found
// in the catalog gives its RealNameOf, one not found its text's bytes. A
// catalog with no record (made by an older version or another program) never
// said which names were CP932, so there the disk is asked (RealPathBelow);
// a catalog with one is never looked up on disk, so the path stays right
// while the medium is offline. Nothing when a name would lead out of the base
// path: empty, ".", "..", or holding a separator or a NUL, which only
// hand-built sets hold.
std::optional<std::string> RealPathOfItem(const CDriveFileInfo& catalog, std::string_view rest);

// The same for chain, the items from a child of catalog down to the item.
std::optional<std::string> RealPathOfItem(const CDriveFileInfo& catalog, const std::vector<const CFileInfo*>& chain);

// The real paths of items of set (as a search gives them), in their order,
// found in one walk of the set: the base path for a catalog, nothing for the
// set itself and for an item whose path would leave its catalog.
std::vector<std::optional<std::string>> RealPathsOfItems(const CRootFileInfo& set,
                                                         const std::vector<const CFileInfo*>& items);
