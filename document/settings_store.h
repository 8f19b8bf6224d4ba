#pragma once
// The per-user settings file: an INI text of "[Section]" headers and
// "key=value" lines, read and written by the program itself.
//
// Reading never fails: a missing, unreadable or garbled file gives what could
// be read (lines that are not understood are ignored and kept as they are).
// Values are kept literally; nothing in them is expanded.
//
// Several running instances share the file. Each instance remembers what it
// changed; Flush re-reads the file under a lock, applies only those changes to
// it and replaces it atomically, so the others' settings survive.
//
// Adding a setting needs no declaration: call GetString/GetInt with a new
// section or key name (the default comes back while it is missing) and
// SetString/SetInt it, then Flush.

#include <string>
#include <vector>

class CSettingsStore {
 public:
  // Reads path (absolute); a missing file is an empty store.
  explicit CSettingsStore(std::string path);

  const std::string& GetPath() const { return m_strPath; }

  bool Has(const std::string& section, const std::string& key) const;
  std::string GetString(const std::string& section, const std::string& key, const std::string& def = {}) const;
  // A value that is not a whole decimal number gives def.
  long GetInt(const std::string& section, const std::string& key, long def) const;
  // The keys of section in file order.
  std::vector<std::string> GetKeys(const std::string& section) const;

  void SetString(const std::string& section, const std::string& key, const std::string& value);
  void SetInt(const std::string& section, const std::string& key, long value);
  void DeleteKey(const std::string& section, const std::string& key);
  void DeleteSection(const std::string& section);

  // Writes this instance's changes since the last successful Flush into the
  // file as it now is. False when the file could not be read or written (a
  // file that exists but cannot be read or written is left alone); the
  // changes are then kept for the next Flush. Nothing is reported.
  bool Flush();

 private:
  // The INI text: one entry per line, sections in order.
  struct CLine {
    std::string m_strText;  // as read or as it will be written
    bool m_bEntry = false;
    std::string m_strKey, m_strValue;  // of an entry
  };
  struct CSection {
    std::string m_strName;          // "" for the lines before the first header
    std::vector<CLine> m_vecLines;  // the header first, except in ""
  };

  struct CChange {
    enum EKind { SET, DELETE_KEY, DELETE_SECTION } m_eKind;
    std::string m_strSection, m_strKey, m_strValue;
    bool m_bNumber = false;  // stored as a number where the store has types
  };
  static std::vector<CSection> Parse(const std::string& bytes);
  static std::string Serialize(const std::vector<CSection>& text);
  // False when change leaves text as it was.
  static bool Apply(std::vector<CSection>& text, const CChange& change);
  void Change(CChange change);

  std::string m_strPath;
  std::vector<CSection> m_vecText;    // this instance's view
  std::vector<CChange> m_vecChanges;  // not yet in the file
};
