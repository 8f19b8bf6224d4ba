#pragma once
// The catalog set the information sheet and note dialog tests look at:
//   "テストセット"
//     Disk1 (catalog of /media/disk1)
//       docs            note "共通"
//         a.txt         note "line1\r\nline2"
//         R&D 資料.doc  note "共通"
//       top.bin         note "共通"

#include <string>
#include <vector>

#include "dialogs/note_source.h"
#include "model/root_file_info.h"

class CDialogTestSet {
 public:
  CDialogTestSet();

  CPropInfoData InfoOf(const std::vector<std::string>& paths) const;

  CRootFileInfo m_set;
};

// The note look-ups as the document forwards them, straight to a set.
class CSetNoteSource : public CNoteSource {
 public:
  explicit CSetNoteSource(const CRootFileInfo& set) : m_set(set) {}
  void GetNote(const std::string& path, std::string& out) override { m_set.GetNote(path, out); }
  void GetCommonNote(const std::vector<std::string>& paths, std::string& out) override {
    m_set.GetCommonNote(paths, out);
  }

 private:
  const CRootFileInfo& m_set;
};
