#pragma once
// Where per-extension icons come from. The cache asks once per extension and
// keeps what it gets; a source that fails is asked again next time.

#include <string>

#include <wx/bitmap.h>

#include "platform/mime_type_names.h"

class CIconSource {
 public:
  virtual ~CIconSource() = default;
  // Icons for files whose names end in extension (".txt"; "" for names
  // without a dot): large 32×32 and small 16×16. False when there are none.
  virtual bool LookUp(const std::string& extension, wxBitmap& large, wxBitmap& small) = 0;
};

// The desktop's icons: the MIME type the extension's glob gives (files nobody
// knows are application/octet-stream), its icon names from GIO, then its
// generic icon name, each looked up in the current GTK icon theme.
class CDesktopIconSource : public CIconSource {
 public:
  bool LookUp(const std::string& extension, wxBitmap& large, wxBitmap& small) override;

 private:
  CMimeTypeNameSource m_mimeTypes;
};
