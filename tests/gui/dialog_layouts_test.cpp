// Every dialog and sheet of the program laid out as it opens, with long
// texts where the texts vary: nothing in it is cut off. GuiDoubleScale runs
// the same test again at twice the scale.

#include <wx/dialog.h>

#include <functional>
#include <memory>

#include "dialogs/catalog_out_dlg.h"
#include "dialogs/catalog_out_option_dlg.h"
#include "dialogs/copies_dlg.h"
#include "dialogs/copies_result_dlg.h"
#include "dialogs/exclude_patterns_dlg.h"
#include "dialogs/export_dlg.h"
#include "dialogs/label_dlg.h"
#include "dialogs/locate_file_dlg.h"
#include "dialogs/note_edit_dlg.h"
#include "dialogs/progress_dlg.h"
#include "dialogs/prop_info_sheet.h"
#include "dialogs/search_result_dlg.h"
#include "dialogs/search_sheet.h"
#include "dialogs/select_app_dlg.h"
#include "dialogs/update_summary_dlg.h"
#include "dialogs/verify_result_dlg.h"
#include "document/about_dlg.h"
#include "document/cataloged_file_opener.h"
#include "model/content_hashing.h"
#include "model/text_format.h"
#include "tests/gui/dialog_test_set.h"
#include "tests/gui/gui_test_sets.h"
#include "tests/gui/gui_test_util.h"

namespace {

const char kLongLabel[] = "写真バックアップ2024年夏";
const char kLongPath[] = "/media/user/写真バックアップ2024年夏/家族旅行/京都/嵐山で撮った写真.jpg";
const char kLongLogicalPath[] = "写真バックアップ2024年夏\\家族旅行\\京都\\嵐山で撮った写真.jpg";

// What is cut off in dialog, on each page of a sheet in turn.
std::vector<std::string> ClippedOnEveryPage(wxDialog* dialog) {
  auto* sheet = dynamic_cast<CPropertySheet*>(dialog);
  if (!sheet) return ClippedControls(dialog);
  std::vector<std::string> clipped;
  for (size_t page = 0; page < sheet->GetPageCount(); ++page) {
    EXPECT_TRUE(sheet->SelectPage(page));
    FlushEvents();
    for (const std::string& text : ClippedControls(sheet))
      clipped.push_back("page " + std::to_string(page) + " " + text);
  }
  return clipped;
}

TEST(DialogLayouts, NoDialogCutsOffItsTexts) {
  CScopedTimeZone tz("Asia/Tokyo");
  CDialogTestSet data;
  const std::vector<std::string> catalogs{"Disk1", kLongLabel};
  CatalogOutOptions options;
  const std::vector<std::string> paths{"Disk1\\docs\\R&D 資料.doc"}, apps{"/usr/bin/gedit"};

  CPropInfoData catalog = data.InfoOf({"Disk1"});
  catalog.m_strBasePath = "/media/user/data/archives/2001/photos/raw/originals/kyoto";
  catalog.m_strTotalSpace = "270,553,174,016バイト";
  std::vector<CPropInfoData> infos{data.InfoOf({""}), data.InfoOf({"Disk1\\docs\\R&D 資料.doc"}),
                                   data.InfoOf({"Disk1\\docs"}), data.InfoOf({"Disk1\\docs", "Disk1\\top.bin"}),
                                   catalog};

  CSetSearchSource source(data.m_set);
  CItemSummaryList searched, found;
  for (int i = 0; i < 50000; ++i) {
    auto record = std::make_unique<CItemSummary>();
    record->m_strName = "f" + std::to_string(i) + ".txt";
    record->m_strPath = "Disk1\\" + record->m_strName;
    found.push_back(std::move(record));
  }

  CCopyIndex index;
  ASSERT_TRUE(index.Build({&data.m_set}, CCopyOptions()));
  CCopyResults duplicates(index, {""}, ECopyMatch::Content), few(index, {""}, ECopyMatch::Content);
  duplicates.SetDuplicates(FindDuplicates(index));
  few.SetFewCopies(FindFewCopies(index, {}, 2));

  CUpdateSummary update;
  update.nAdded = update.nRemoved = update.nChanged = update.nNotesKept = 1234567;
  update.bBasePathChanged = true;
  update.unreadable.nCount = 12;
  update.lostNotes = {kLongLogicalPath};
  CVerifyResult verify;
  for (int kind = 0; kind < kVerifyKinds; ++kind) {
    verify.findings.push_back({EVerifyKind(kind), kLongLogicalPath});
    verify.aCounts[kind] = 1234567;
  }
  const CHashCounts hashed{1234567, 12345678, 987654321098ULL, 9876543210987ULL};
  // Both progress layouts with the most they show; each has some of these.
  const auto progress = [hashed](CProgressDlg& dialog) {
    dialog.SetText("ID_MESSAGE", "カタログ一覧を書き出しています");
    dialog.SetText("ID_FOLDERS", "1,234,567");
    dialog.SetText("ID_FILES", "12,345,678");
    dialog.SetText("ID_SIZE", FormatSize(987654321098ULL, false));
    dialog.SetText("ID_FOLDER", kLongPath);
    dialog.ShowRow("ID_HASH_LABEL");
    dialog.ShowRow("ID_HASH");
    dialog.SetText("ID_HASH", HashCountsText(hashed, 3600));
  };
  const auto never = [] { return false; };
  CSetNoteSource notes(data.m_set);

  const std::pair<const char*, std::function<wxDialog*()>> dialogs[] = {
      {"about", [] { return new CAboutDlg(nullptr, "1.10.2.5"); }},
      {"report", [&] { return new CCatalogOutDlg(nullptr, catalogs, options); }},
      {"report columns", [&] { return new CCatalogOutOptionDlg(nullptr, &options); }},
      {"export", [&] { return new CExportDlg(nullptr, catalogs); }},
      {"duplicates",
       [&] {
         return new CCopiesDlg(nullptr, {false, &data.m_set, {kLongPath}, "*", {}});
       }},
      {"few copies",
       [&] {
         return new CCopiesDlg(nullptr, {true, &data.m_set, {kLongPath}, "*", {}});
       }},
      {"duplicates found", [&] { return new CCopiesResultDlg(nullptr, duplicates); }},
      {"few copies found", [&] { return new CCopiesResultDlg(nullptr, few); }},
      {"exclude",
       [] {
         return new CExcludePatternsDlg(nullptr, {"*.tmp", "node_modules"});
       }},
      {"label", [] { return new CLabelDlg(nullptr, kLongLabel, true, true); }},
      {"locate",
       [] {
         return new CLocateFileDlg(nullptr, LocateFileMessage(kLongLogicalPath, kLongPath, kLongLabel, ""),
                                   "嵐山で撮った写真.jpg");
       }},
      {"note", [&] { return new CNoteEditDlg(nullptr, &paths, &notes); }},
      {"scan progress", [&] { return new CProgressDlg(nullptr, "スキャン", "ScanProgressLayout", never, progress); }},
      {"work progress", [&] { return new CProgressDlg(nullptr, "出力", "WorkProgressLayout", never, progress); }},
      {"set info", [&] { return new CPropInfoSheet("プロパティ", &infos[0]); }},
      {"file info", [&] { return new CPropInfoSheet("プロパティ", &infos[1]); }},
      {"folder info", [&] { return new CPropInfoSheet("プロパティ", &infos[2]); }},
      {"several info", [&] { return new CPropInfoSheet("プロパティ", &infos[3]); }},
      {"catalog info", [&] { return new CPropInfoSheet("プロパティ", &infos[4]); }},
      {"search", [&] { return new CSearchSheet(nullptr, "検索", kLongLogicalPath, source, searched); }},
      {"search results", [&] { return new CSearchResultDlg(nullptr, found); }},
      {"application", [&] { return new CSelectAppDlg(nullptr, &apps); }},
      {"update", [&] { return new CUpdateSummaryDlg(nullptr, kLongLabel, update); }},
      {"verify", [&] { return new CVerifyResultDlg(nullptr, kLongLabel, verify); }},
  };
  for (const auto& [name, make] : dialogs) {
    std::unique_ptr<wxDialog> dialog(make());
    dialog->Show();
    FlushEvents();
    for (const std::string& clipped : ClippedOnEveryPage(dialog.get())) ADD_FAILURE() << name << ": " << clipped;
  }
}

}  // namespace
