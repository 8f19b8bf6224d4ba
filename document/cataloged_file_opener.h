#pragma once
// Opening a catalogued file: find it where it was catalogued (or where the
// user points), then open it with its associated application, or with one
// the user picks; picked applications are remembered in the settings.
//
// For the list view: call OpenCatalogedFile(set, logicalPath, window) on
// Enter or double-click on a file. It shows every dialog and message itself.

#include <string>

class CAppLauncher;
class CAppSettings;
class CDriveFileInfo;
class CExplorerApDoc;
class CRootFileInfo;
class wxWindow;

// The one message every failure to open ends in.
inline constexpr const char kOpenFileFailed[] = "指定したファイルは開けませんでした";
// For a file whose real path would leave its catalog's place.
inline constexpr const char kOutsideCatalogMessage[] =
    "カタログ化された場所の外を指す名前が含まれているため、このファイルは開けません";

// Opens the file at logicalPath ("CD1\docs\memo.txt") of set, with parent
// owning the dialogs. Uses the running application's settings (none: an
// empty list, nothing stored) and the desktop launcher.
void OpenCatalogedFile(const CRootFileInfo& set, const std::string& logicalPath, wxWindow* parent);
// The same for the document's set, its window owning the dialogs.
void OpenCatalogedFile(CExplorerApDoc& doc, const std::string& logicalPath);
// The same with the settings (may be null) and the launcher given.
void OpenCatalogedFile(const CRootFileInfo& set, const std::string& logicalPath, wxWindow* parent,
                       CAppSettings* settings, CAppLauncher& launcher);

// Makes sure a file is at path, asking the user with the locate dialog
// while it is not: "search again" tests path again, pointing at a file makes
// that file path. True when a file is at path (possibly changed); false when
// the user gave up, or when logicalPath names no file of a catalog.
// catalogName and fileName, when empty, are taken from logicalPath. When
// catalog is given and its medium is not at its place, the dialog asks for
// that medium by name.
bool ConfirmFilePresent(std::string& path, const std::string& logicalPath, const std::string& catalogName = {},
                        const std::string& fileName = {}, wxWindow* parent = nullptr,
                        const CDriveFileInfo* catalog = nullptr);

// ---------------------------------------------------------------------------
// The decisions behind them.

// Splits logicalPath into its catalog's name, the file's real path
// (RealPathOfItem) and the file's name. False when the path names a catalog
// (no "\"), its catalog is not in set, or a component is empty, "." or "..";
// also, with *outside set, when a name would lead out of the catalog's place.
bool SplitCatalogPath(const CRootFileInfo& set, const std::string& logicalPath, std::string& catalogName,
                      std::string& realPath, std::string& fileName, bool* outside = nullptr);

// The catalog name and file name of logicalPath alone; false as above
// (without asking the set).
bool SplitLogicalPath(const std::string& logicalPath, std::string& catalogName, std::string& rest,
                      std::string& fileName);

// True when something exists at path; only absolute paths are looked at.
bool IsFilePresent(const std::string& path);

// The catalog of set named name; null when there is none.
const CDriveFileInfo* FindCatalog(const CRootFileInfo& set, const std::string& name);

// The locate dialog's text for the file at logicalPath sought at path;
// absentMedium, when not empty, describes the catalog's medium, which is not
// where it was catalogued (DescribeCatalogMedium).
std::string LocateFileMessage(const std::string& logicalPath, const std::string& path, const std::string& catalogName,
                              const std::string& absentMedium = {});
