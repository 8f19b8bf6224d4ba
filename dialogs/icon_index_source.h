#pragma once
// The image lists and indices the document and the dialogs show come from
// the views' icon cache; they reach it only through this interface, which
// the application installs at start-up.

#include <string>

class wxImageList;

class CIconIndexSource {
 public:
  virtual ~CIconIndexSource() = default;
  // Controls install these with SetImageList (not Assign): the source owns them.
  virtual wxImageList* GetSmallImageList() = 0;
  virtual wxImageList* GetLargeImageList() = 0;
  virtual int GetFolderIndex(bool large) const = 0;
  virtual int GetCatalogSetIndex(bool large) const = 0;
  virtual int GetImageIndex(const std::string& name, bool isFolder, bool isCatalog, bool large) = 0;
};

// get gives the source when first needed, so a cache is made only once a
// view or the document asks for an image; null removes it.
void SetIconIndexSource(CIconIndexSource& (*get)());
// Null when no source is installed.
CIconIndexSource* GetIconIndexSource();
