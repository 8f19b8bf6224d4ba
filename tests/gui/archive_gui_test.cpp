// Archives in the window: the label dialog's check box lists a catalog's
// archives, the catalog records it for its updates, and the box is
// remembered for the next add.

#include <wx/checkbox.h>
#include <wx/xrc/xmlres.h>

#include <filesystem>

#include "dialogs/label_dlg.h"
#include "document/cataloged_file_opener.h"
#include "document/explorer_ap_doc.h"
#include "model/root_file_info.h"
#include "tests/gui/doc_test_util.h"
#include "tests/gui/expect_dialog.h"

namespace {

class ArchiveDoc : public CDocTest {};

// The label dialog, answered with OK after its archives box is set to tick
// (its state as shown goes to shown).
CExpectDialog<CLabelDlg> LabelWithArchives(bool tick, bool& shown) {
  return CExpectDialog<CLabelDlg>([tick, &shown](CLabelDlg* dlg) {
    return AnswerDialog(dlg, wxID_OK, [tick, &shown](CLabelDlg* d) {
      wxCheckBox* box = XRCCTRL(*d, "ID_ARCHIVES", wxCheckBox);
      shown = box->GetValue();
      box->SetValue(tick);
    });
  });
}

}  // namespace

TEST_F(ArchiveDoc, TheAddDialogsBoxListsArchivesRecordsItAndIsRemembered) {
  const char* fixtures = std::getenv("QUARRIX_ARCHIVE_FIXTURES");
  if (fixtures == nullptr || !std::filesystem::exists(std::string(fixtures) + "/.done"))
    GTEST_SKIP() << "no archive fixtures";
  CScopedAppSettings settings;
  const std::string disk = m_home.File("disk");
  std::filesystem::create_directories(disk);
  std::filesystem::copy_file(std::string(fixtures) + "/plain.zip", disk + "/a.zip");

  bool shown = true;
  wxTEST_DIALOG(Doc().AddCatalog(), CExpectDirDialog(disk), LabelWithArchives(true, shown));
  EXPECT_FALSE(shown);  // off until the user ticks it
  const CFileInfo* member = FindByPath(static_cast<const CFileInfo*>(Doc().GetRoot()), "disk\\a.zip\\sub\\readme.txt");
  ASSERT_NE(nullptr, member);
  EXPECT_TRUE(member->IsInArchive());
  EXPECT_EQ(1, FindCatalog(*Doc().GetRoot(), "disk")->m_record.value_or(CCatalogRecord()).nArchiveDepth);

  // The next add starts ticked; unticked, it lists nothing inside.
  std::filesystem::rename(disk, m_home.File("disk2"));
  wxTEST_DIALOG(Doc().AddCatalog(), CExpectDirDialog(m_home.File("disk2")), LabelWithArchives(false, shown));
  EXPECT_TRUE(shown);
  EXPECT_EQ(nullptr, FindByPath(static_cast<const CFileInfo*>(Doc().GetRoot()), "disk2\\a.zip")->Members());
  EXPECT_NE(std::string::npos, ReadTextFile(m_home.ConfigHome() + "/Quarrix.conf").find("ListArchives=0"));
}
