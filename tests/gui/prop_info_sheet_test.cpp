// The information sheet on records of a real set: which page, what each
// control shows, and the note handed back.

#include <wx/bookctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "dialogs/drive_property.h"
#include "dialogs/file_property.h"
#include "dialogs/folder_property.h"
#include "dialogs/prop_info_sheet.h"
#include "dialogs/root_property.h"
#include "tests/gui/dialog_test_set.h"
#include "tests/gui/gui_test_util.h"

namespace {

const char kCaption[] = "プロパティ";

// A value field's text, or a label's.
std::string Shown(wxWindow* page, const char* name) {
  wxWindow* control = page->FindWindow(XRCID(name));
  if (auto* field = dynamic_cast<wxTextCtrl*>(control)) return Utf8(field->GetValue());
  if (auto* label = dynamic_cast<wxStaticText*>(control)) return Utf8(label->GetLabelText());
  return "<no control " + std::string(name) + ">";
}

wxTextCtrl* NoteBox(wxWindow* page) { return XRCCTRL(*page, "ID_NOTE", wxTextCtrl); }

class PropInfoSheetTest : public testing::Test {
 protected:
  CScopedTimeZone m_tz{"Asia/Tokyo"};
  CDialogTestSet m_data;
};

TEST_F(PropInfoSheetTest, FileShowsItsRecordAndOkWithoutEditingReturnsTheSameNote) {
  const std::string path = "Disk1\\docs\\R&D 資料.doc";
  m_data.m_set.SetNote(path, "line1\r\nline2");
  const CPropInfoData info = m_data.InfoOf({path});
  ASSERT_EQ(info.m_nType, CPropInfoData::TYPE_FILE);

  CPropInfoSheet sheet(kCaption, &info);
  sheet.Show();
  auto* page = dynamic_cast<CFileProperty*>(sheet.GetInfoPage());
  ASSERT_TRUE(page);
  EXPECT_EQ(Utf8(sheet.GetTitle()), kCaption);
  ASSERT_EQ(sheet.GetBookCtrl()->GetPageCount(), 1u);
  EXPECT_EQ(Utf8(sheet.GetBookCtrl()->GetPageText(0)), "情報");
  EXPECT_FALSE(sheet.FindWindow(wxID_APPLY));
  EXPECT_FALSE(sheet.FindWindow(wxID_HELP));
  EXPECT_EQ(wxWindow::FindFocus(), sheet.FindWindow(wxID_OK));

  // "&" must not turn into a mnemonic and vanish.
  EXPECT_EQ(Shown(page, "ID_NAME"), "R&D 資料.doc");
  EXPECT_EQ(Shown(page, "ID_PATH"), path);
  for (auto [name, field] : {std::pair{"ID_KIND", &info.m_strKind},
                             {"ID_SIZE", &info.m_strSize},
                             {"ID_CREATED", &info.m_strCreated},
                             {"ID_MODIFIED", &info.m_strModified},
                             {"ID_ATTRIBUTES", &info.m_strAttributes}}) {
    EXPECT_FALSE(field->empty()) << name;
    EXPECT_EQ(Shown(page, name), *field) << name;
  }
  EXPECT_EQ(Utf8(NoteBox(page)->GetValue()), "line1\nline2");
  EXPECT_TRUE(NoteBox(page)->IsMultiLine());

  Click(&sheet, wxID_OK);
  EXPECT_EQ(sheet.GetReturnCode(), wxID_OK);
  EXPECT_FALSE(page->IsNoteChanged());
  EXPECT_EQ(sheet.GetNewNote(), "line1\r\nline2");
  EXPECT_EQ(m_data.m_set.SetNote(path, sheet.GetNewNote()), 0);
}

TEST_F(PropInfoSheetTest, FolderAndSeveralItemsShareAPageButNotItsSizeLabel) {
  const CPropInfoData folder = m_data.InfoOf({"Disk1\\docs"});
  CPropInfoSheet folderSheet(kCaption, &folder);
  auto* folderPage = dynamic_cast<CFolderProperty*>(folderSheet.GetInfoPage());
  ASSERT_TRUE(folderPage);
  EXPECT_EQ(Shown(folderPage, "ID_SIZE_LABEL"), "このフォルダ\n以下の合計サイズ");
  EXPECT_EQ(Shown(folderPage, "ID_NAME"), "docs");
  EXPECT_EQ(Shown(folderPage, "ID_PATH"), "Disk1\\docs");
  EXPECT_EQ(Shown(folderPage, "ID_SIZE"), folder.m_strSize);
  EXPECT_EQ(Shown(folderPage, "ID_CREATED"), folder.m_strCreated);
  EXPECT_EQ(Shown(folderPage, "ID_ATTRIBUTES"), folder.m_strAttributes);
  EXPECT_EQ(Utf8(NoteBox(folderPage)->GetValue()), "共通");

  const CPropInfoData several = m_data.InfoOf({"Disk1\\docs", "Disk1\\top.bin"});
  ASSERT_EQ(several.m_nType, CPropInfoData::TYPE_SEVERAL);
  CPropInfoSheet severalSheet(kCaption, &several);
  auto* severalPage = dynamic_cast<CFolderProperty*>(severalSheet.GetInfoPage());
  ASSERT_TRUE(severalPage);
  EXPECT_EQ(Shown(severalPage, "ID_SIZE_LABEL"), "複数ファイルの\n合計サイズ");
  EXPECT_EQ(Shown(severalPage, "ID_NAME"), "複数のファイル");
  EXPECT_EQ(Shown(severalPage, "ID_KIND"), "複数の種類");
  EXPECT_EQ(Shown(severalPage, "ID_PATH"), "複数の場所");
  EXPECT_EQ(Shown(severalPage, "ID_ATTRIBUTES"), "複数の属性");
  EXPECT_EQ(Shown(severalPage, "ID_SIZE"), several.m_strSize);
  EXPECT_EQ(Utf8(NoteBox(severalPage)->GetValue()), "共通");
}

TEST_F(PropInfoSheetTest, SeveralItemsWithDifferingNotesOpenAndReturnAnEmptyNote) {
  const CPropInfoData several = m_data.InfoOf({"Disk1\\docs\\a.txt", "Disk1\\top.bin"});
  CPropInfoSheet sheet(kCaption, &several);
  sheet.Show();
  EXPECT_EQ(Utf8(NoteBox(sheet.GetInfoPage())->GetValue()), "");
  Click(&sheet, wxID_OK);
  EXPECT_EQ(sheet.GetReturnCode(), wxID_OK);
  EXPECT_EQ(sheet.GetNewNote(), "");
}

TEST_F(PropInfoSheetTest, CatalogAndSetShowTheirFixedKindsAndTheirOwnFields) {
  const CPropInfoData catalog = m_data.InfoOf({"Disk1"});
  CPropInfoSheet catalogSheet(kCaption, &catalog);
  auto* drivePage = dynamic_cast<CDriveProperty*>(catalogSheet.GetInfoPage());
  ASSERT_TRUE(drivePage);
  EXPECT_EQ(Shown(drivePage, "ID_KIND"), "カタログ");
  EXPECT_EQ(Shown(drivePage, "ID_NAME"), "Disk1");
  EXPECT_EQ(Shown(drivePage, "ID_MACHINE"), "HOST-A");
  EXPECT_EQ(Shown(drivePage, "ID_MEDIA"), "CD-ROM");
  EXPECT_EQ(Shown(drivePage, "ID_BASE_PATH"), "/media/disk1");
  for (auto [name, field] : {std::pair{"ID_CREATED", &catalog.m_strCreated},
                             {"ID_SIZE", &catalog.m_strSize},
                             {"ID_TOTAL_SPACE", &catalog.m_strTotalSpace},
                             {"ID_FREE_SPACE", &catalog.m_strFreeSpace}}) {
    EXPECT_FALSE(field->empty()) << name;
    EXPECT_EQ(Shown(drivePage, name), *field) << name;
  }

  m_data.m_set.SetNote("", "セットのノート");
  const CPropInfoData set = m_data.InfoOf({""});
  CPropInfoSheet setSheet(kCaption, &set);
  auto* rootPage = dynamic_cast<CRootProperty*>(setSheet.GetInfoPage());
  ASSERT_TRUE(rootPage);
  EXPECT_EQ(Shown(rootPage, "ID_KIND"), "カタログセット");
  EXPECT_EQ(Shown(rootPage, "ID_NAME"), "テストセット");
  EXPECT_EQ(Shown(rootPage, "ID_CATALOG_COUNT"), "1");
  EXPECT_EQ(Shown(rootPage, "ID_CREATED"), set.m_strCreated);
  EXPECT_FALSE(set.m_strCreated.empty());
  EXPECT_EQ(Utf8(NoteBox(rootPage)->GetValue()), "セットのノート");
}

TEST_F(PropInfoSheetTest, TypedLinesComeBackWithLineBreaksAndCancelReturnsNothing) {
  const CPropInfoData info = m_data.InfoOf({"Disk1\\top.bin"});
  {
    CPropInfoSheet sheet(kCaption, &info);
    sheet.Show();
    NoteBox(sheet.GetInfoPage())->SetValue(wxString::FromUTF8("一行目\n二行目\n"));
    EXPECT_TRUE(sheet.GetInfoPage()->IsNoteChanged());
    Click(&sheet, wxID_OK);
    EXPECT_EQ(sheet.GetReturnCode(), wxID_OK);
    EXPECT_EQ(sheet.GetNewNote(), "一行目\r\n二行目\r\n");
  }
  {
    CPropInfoSheet sheet(kCaption, &info);
    sheet.Show();
    NoteBox(sheet.GetInfoPage())->SetValue("changed");
    Click(&sheet, wxID_CANCEL);
    EXPECT_EQ(sheet.GetReturnCode(), wxID_CANCEL);
    EXPECT_EQ(sheet.GetNewNote(), "");
  }
}

TEST_F(PropInfoSheetTest, TheSheetGrowsAndShowsLabelsAndLongValuesWholeInFieldsThatCanBeSelected) {
  CPropInfoData info;
  info.m_nType = CPropInfoData::TYPE_CATALOG;
  info.m_strName = "Disk1";
  info.m_strBasePath = "/media/user/data/archives/2001/photos/raw/originals/kyoto";
  info.m_strTotalSpace = "270,553,174,016バイト";
  CPropInfoSheet sheet(kCaption, &info);
  sheet.Show();
  FlushEvents();
  EXPECT_TRUE(sheet.HasFlag(wxRESIZE_BORDER));
  // "カタログ化されたパス：" and "メディアの合計サイズ：" are not cut.
  EXPECT_EQ(ClippedControls(&sheet), std::vector<std::string>());

  auto* path = XRCCTRL(*sheet.GetInfoPage(), "ID_BASE_PATH", wxTextCtrl);
  ASSERT_TRUE(path);
  EXPECT_FALSE(path->IsEditable());
  EXPECT_EQ(Utf8(path->GetValue()), info.m_strBasePath);
  EXPECT_EQ(Utf8(path->GetToolTipText()), info.m_strBasePath);
  path->SelectAll();
  EXPECT_EQ(Utf8(path->GetStringSelection()), info.m_strBasePath);
  EXPECT_EQ(Shown(sheet.GetInfoPage(), "ID_TOTAL_SPACE"), info.m_strTotalSpace);

  // The values and the note take what the page grows by when the sheet is
  // enlarged (the page is resized here: the toolkit sizes a window late).
  wxWindow* page = sheet.GetInfoPage();
  const wxSize field = path->GetSize(), note = NoteBox(page)->GetSize();
  page->SetSize(page->GetSize() + wxSize(200, 100));
  page->Layout();
  EXPECT_GE(path->GetSize().x, field.x + 200);
  EXPECT_GT(NoteBox(page)->GetSize().y, note.y);
}

}  // namespace
