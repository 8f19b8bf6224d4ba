#pragma once
// The image indices the document gives its views come from the views' icon
// cache; the document reaches it only through this interface, which the
// application installs at start-up.

#include <string>

class CIconIndexSource {
 public:
  virtual ~CIconIndexSource() = default;
  virtual int GetCatalogSetIndex(bool large) const = 0;
  virtual int GetImageIndex(const std::string& name, bool isFolder, bool isCatalog, bool large) = 0;
};

// get gives the source when first needed, so a cache is made only once a
// view or the document asks for an image; null removes it.
void SetIconIndexSource(CIconIndexSource& (*get)());
// Null when no source is installed.
CIconIndexSource* GetIconIndexSource();
