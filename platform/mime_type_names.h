// Display names of kinds of files, as shown in the list's type column.
#pragma once

#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

class CTypeNameSource {
 public:
  virtual ~CTypeNameSource() = default;
  // The display name of files with this extension (".txt", "" for none; the
  // dot included), or of folders; empty when nothing is known.
  virtual std::string TypeName(const std::string& extension, bool isFolder) = 0;
};

// Names from the shared MIME database: the type comes from the database's
// globs2 file and the name from the type's Japanese comment, or its untranslated
// one. Safe to call from several threads.
class CMimeTypeNameSource : public CTypeNameSource {
 public:
  explicit CMimeTypeNameSource(std::string mimeDir = "/usr/share/mime");
  std::string TypeName(const std::string& extension, bool isFolder) override;

  // The MIME type globs2 gives to a file name; empty when no glob matches.
  std::string MimeTypeForName(const std::string& name);

 private:
  struct CGlob {
    int m_nWeight = 0;
    int m_nKind = 0;  // 0 literal name, 1 "*suffix", 2 any other glob
    bool m_bCaseSensitive = false;
    std::string m_strType;
    std::string m_strPattern;  // lower case unless case-sensitive
  };

  void LoadGlobsLocked();
  std::string MimeTypeForNameLocked(const std::string& name);
  std::string DescriptionLocked(const std::string& mimeType);

  std::string m_strMimeDir;
  std::mutex m_mutex;
  bool m_bGlobsLoaded = false;
  std::vector<CGlob> m_vecGlobs;
  std::unordered_map<std::string, std::string> m_mapDescriptions;  // by MIME type
  std::unordered_map<std::string, std::string> m_mapByExtension;   // type names
};
