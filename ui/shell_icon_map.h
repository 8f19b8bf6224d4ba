#pragma once
// The icon pairs found so far, by extension (case-sensitive, dot included).

#include <map>
#include <string>

#include <wx/bitmap.h>

class CIconSource;

struct CIconPair {
  wxBitmap m_bmpLarge;  // 32×32
  wxBitmap m_bmpSmall;  // 16×16
};

class CShellIconMap {
 public:
  explicit CShellIconMap(CIconSource& source) : m_source(source) {}

  // The pair for extension, looked up on first request and kept; null when
  // the lookup fails, which is not kept, so the next request tries again.
  const CIconPair* GetIconPair(const std::string& extension);

 private:
  CIconSource& m_source;
  std::map<std::string, CIconPair> m_mapPairs;
};
