// End-to-end runs of quarrix-cli on small sets built through the model.

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "model/set_file.h"
#include "model/text_format.h"
#include "platform/atomic_file.h"
#include "platform/cp932_codec.h"

#include "cli_fixture.h"

namespace {

TEST_F(CliTest, NewWritesAnEmptySetAndNeverOverwrites) {
  const std::int64_t before = std::time(nullptr);
  ASSERT_EQ(Run({"new", m_strSet}).nStatus, 0);
  const std::string bytes = ReadAll(m_strSet);
  ASSERT_EQ(bytes.size(), 71u);
  EXPECT_EQ(bytes.substr(0, 19), std::string("\xFF\xFF\x02\x00\x0D\x00"
                                             "CRootFileInfo",
                                             19));
  const std::string out = Run({"dump", m_strSet}).strOut,
                    prefix =
                        "{\"kind\":\"set\",\"path\":\"\",\"name\":\"work "
                        "カタログセット\",\"note\":\"\",\"attributes\":0,\"created\":0,"
                        "\"accessed\":0,\"modified\":0,\"size\":0,\"short_name\":\"\",\"updated\":";
  ASSERT_EQ(out.substr(0, prefix.size()), prefix);
  const std::int64_t updated = std::stoll(out.substr(prefix.size()));
  EXPECT_TRUE(updated >= before && updated <= std::time(nullptr)) << updated;

  WriteSample();
  const std::string sample = ReadAll(m_strSet);
  EXPECT_EQ(Run({"new", m_strSet}).nStatus, 4);
  EXPECT_EQ(ReadAll(m_strSet), sample);
}

TEST_F(CliTest, DumpListsEveryItemInPreOrder) {
  WriteSample();
  const CRun run = Run({"dump", m_strSet});
  std::vector<std::string> lines;
  std::istringstream in(run.strOut);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 9u) << run.strErr;
  EXPECT_EQ(lines[1],
            "{\"kind\":\"catalog\",\"path\":\"CD1\",\"name\":\"CD1\",\"note\":\"\",\"attributes\":0,\"created\":0,"
            "\"accessed\":0,\"modified\":0,\"size\":0,\"short_name\":\"\",\"label\":\"CD1\",\"cataloged\":946684800,"
            "\"machine\":\"PC-01\",\"media\":\"CD-ROM\",\"free\":0,\"total\":681574400,\"base_path\":\"/media/cd\"}");
  EXPECT_EQ(lines[3],
            "{\"kind\":\"file\",\"path\":\"CD1\\\\Docs\\\\Report.qx1\",\"name\":\"Report.qx1\",\"note\":"
            "\"要確認\",\"attributes\":33,\"created\":" +
                std::to_string(FileTime(947376000)) + ",\"accessed\":0,\"modified\":" +
                std::to_string(FileTime(947534400)) + ",\"size\":1024,\"short_name\":\"REPORT~1.QX1\"}");
  EXPECT_TRUE(Has(lines[6], "\"kind\":\"folder\",\"path\":\"CD1\\\\Docs2\""));
  // The same text as JSON escapes it: tab and line feed in their short forms.
  EXPECT_TRUE(Has(lines[7], "\"note\":\"a\\tb\\nc\\\"d\\\\e\""));
  EXPECT_TRUE(Has(lines[8], "\"size\":5368709120,"));
}

TEST_F(CliTest, DumpWalksDeepNestingAndStoredPaths) {
  CRootFileInfo set("deep");
  auto catalog = std::make_unique<CDriveFileInfo>("C", "/", CMediumFacts{});
  CFolderFileInfo* moved = AddFolder(*catalog, "a");
  moved->SetStoredPath("Elsewhere\\a", "C");  // as files of other writers may have it
  Add(*moved, "f", 0);
  CFolderFileInfo* folder = AddFolder(*catalog, "g");
  for (int i = 0; i < 3000; ++i) folder = AddFolder(*folder, "d");
  Add(*folder, "leaf", 0);
  set.AppendCatalog(std::move(catalog), 0);
  ASSERT_EQ(WriteSetFile(m_strSet, set), ESetFileError::None);

  // A small stack: a recursive walk would overflow it.
  const CRun run = Run({"dump", m_strSet}, "UTC", {}, 512 * 1024);
  ASSERT_EQ(run.nStatus, 0) << run.strErr;
  EXPECT_TRUE(Has(run.strOut, "\"path\":\"Elsewhere\\\\a\\\\f\""));
  std::string deepest = "\"path\":\"C\\\\g";
  for (int i = 0; i < 3000; ++i) deepest += "\\\\d";
  EXPECT_TRUE(Has(run.strOut, deepest + "\\\\leaf\","));
}

TEST_F(CliTest, CopyRewritesTheSameBytes) {
  WriteSample();
  ASSERT_EQ(Run({"copy", m_strSet, File("copy.fcf")}).nStatus, 0);
  EXPECT_EQ(ReadAll(File("copy.fcf")), ReadAll(m_strSet));
  EXPECT_EQ(Run({"copy", m_strSet, File("no-such-folder/copy.fcf")}).nStatus, 4);
}

TEST_F(CliTest, LsListsChildrenInLocalTime) {
  WriteSample();
  EXPECT_EQ(Run({"ls", m_strSet}).strOut,
            "CD1\t\tCD-ROM\t2000/01/01 00:00:00\t\n"
            "HD\t\t固定ディスク\t2000/02/01 00:00:00\ta\xEF\xBF\xBD"
            "b\xEF\xBF\xBD"
            "c\"d\\e\n");
  const std::string folder = TypeNameFor("", true);
  EXPECT_EQ(Run({"ls", m_strSet, "CD1"}, "JST-9").strOut,
            "Docs\t1KB\t" + folder + "\t2000/01/05 09:00:00\t書類\n" + "empty.qx1\t1KB\t" + TypeNameFor(".qx1", false) +
                "\t1999/12/31 21:00:00\t\n" + "Docs2\t1KB\t" + folder + "\t1970/01/01 09:00:00\t\n");
  for (const char* path : {"CD1\\Docs\\Report.qx1", "CD1\\Nope"}) {
    const CRun run = Run({"ls", m_strSet, path});
    EXPECT_EQ(run.nStatus, 1) << path;
    EXPECT_EQ(run.strOut, "") << path;
  }
}

TEST_F(CliTest, FindByNameAndNote) {
  WriteSample();
  const std::string both = "CD1\\Docs\\Report.qx1\nHD\\report.QX1\n";
  EXPECT_EQ(Run({"find", m_strSet, "--name", "REPORT"}).strOut, both);
  EXPECT_EQ(Run({"find", m_strSet, "--name", "report", "--case"}).strOut, "HD\\report.QX1\n");
  EXPECT_EQ(Run({"find", m_strSet, "--exact", "--name", "report.qx1"}).strOut, both);
  EXPECT_EQ(Run({"find", m_strSet, "--from", "HD", "--name", "report"}).strOut, "HD\\report.QX1\n");
  const CRun widened = Run({"find", m_strSet, "--from", "HD\\nope", "--name", "report"});
  EXPECT_EQ(widened.strOut, both);
  EXPECT_TRUE(Has(widened.strErr, "HD\\nope"));
  // An empty pattern takes every named item, the set first with its empty path.
  EXPECT_EQ(
      Run({"find", m_strSet, "--name", ""}).strOut,
      "\nCD1\nCD1\\Docs\nCD1\\Docs\\Report.qx1\nCD1\\Docs\\memo.qx2\nCD1\\empty.qx1\nCD1\\Docs2\nHD\nHD\\report.QX1\n");
  EXPECT_EQ(Run({"find", m_strSet, "--from", "CD1", "--note", ""}).strOut, "CD1\\Docs\nCD1\\Docs\\Report.qx1\n");
  const CRun none = Run({"find", m_strSet, "--name", "nothing-like-this"});
  EXPECT_EQ(none.nStatus, 1);
  EXPECT_EQ(none.strOut, "");
}

TEST_F(CliTest, FindBySizeAndDate) {
  WriteSample();
  EXPECT_EQ(Run({"find", m_strSet, "--size", "0", "0"}).strOut,
            "CD1\\Docs\\Report.qx1\nCD1\\Docs\\memo.qx2\nCD1\\empty.qx1\nHD\\report.QX1\n");
  EXPECT_EQ(Run({"find", m_strSet, "--size", " +1", "1\t"}).strOut, "CD1\\Docs\\Report.qx1\n");
  // Past 32 bits a bound stays the largest one rather than wrapping to "no bound".
  EXPECT_EQ(Run({"find", m_strSet, "--size", "4294967296", "0"}).nStatus, 1);

  const CArgs days = {"find", m_strSet, "--date", "2000/01/11", "2000/1/12 8:00"};
  EXPECT_EQ(Run(days, "UTC").strOut, "CD1\\Docs\\memo.qx2\n");
  EXPECT_EQ(Run(days, "JST-9").strOut, "CD1\\Docs\\Report.qx1\nCD1\\Docs\\memo.qx2\n");
  EXPECT_EQ(Run({"find", m_strSet, "--date", "", "1999/12/31"}).strOut, "CD1\\empty.qx1\nCD1\\Docs2\n");
  // ISO dates are dates too; a text that is no date is refused, not taken as no bound.
  EXPECT_EQ(Run({"find", m_strSet, "--date", "2000-01-12", ""}).strOut, "\nCD1\\Docs\\memo.qx2\nHD\nHD\\report.QX1\n");
  const CRun notADate = Run({"find", m_strSet, "--date", "2000/1/5x", ""});
  EXPECT_EQ(notADate.nStatus, 2);
  EXPECT_EQ(notADate.strOut, "");
  EXPECT_TRUE(Has(notADate.strErr, "2000/1/5x")) << notADate.strErr;
  EXPECT_TRUE(Has(notADate.strErr, "YYYY-MM-DD")) << notADate.strErr;
}

TEST_F(CliTest, FindCombinesCriteriaAndTakesTheTextOptions) {
  WriteSample();
  const CArgs qx1 = {"find", m_strSet, "--name", "*.qx1"};
  EXPECT_EQ(Run(qx1).strOut, "CD1\\Docs\\Report.qx1\nCD1\\empty.qx1\nHD\\report.QX1\n");
  CArgs sized = qx1;
  sized.insert(sized.end(), {"--size", "1", "0"});
  EXPECT_EQ(Run(sized).strOut, "CD1\\Docs\\Report.qx1\nHD\\report.QX1\n");
  sized.insert(sized.end(), {"--date", "2000/01/11", ""});
  EXPECT_EQ(Run(sized).strOut, "HD\\report.QX1\n");
  EXPECT_EQ(Run({"find", m_strSet, "--note", "確認", "--name", "REPORT", "--size", "0", "0"}).strOut,
            "CD1\\Docs\\Report.qx1\n");
  EXPECT_EQ(Run({"find", m_strSet, "--name", "ＲＥＰＯＲＴ"}).nStatus, 1);
  EXPECT_EQ(Run({"find", m_strSet, "--name", "ＲＥＰＯＲＴ", "--width"}).strOut,
            "CD1\\Docs\\Report.qx1\nHD\\report.QX1\n");

  CRootFileInfo set("kana");
  auto catalog = std::make_unique<CDriveFileInfo>("K", "/media/k", CMediumFacts{});
  for (const char* name : {"ﾃｽﾄ.txt", "テスト.txt", "てすと.txt"}) Add(*catalog, name, 0x20);
  set.AppendCatalog(std::move(catalog), 0);
  const std::string kanaSet = File("kana.fcf");
  ASSERT_EQ(WriteSetFile(kanaSet, set), ESetFileError::None);
  EXPECT_EQ(Run({"find", kanaSet, "--name", "てすと"}).strOut, "K\\てすと.txt\n");
  EXPECT_EQ(Run({"find", kanaSet, "--name", "てすと", "--kana"}).strOut, "K\\テスト.txt\nK\\てすと.txt\n");
  EXPECT_EQ(Run({"find", kanaSet, "--name", "てすと.*", "--kana", "--width"}).strOut,
            "K\\ﾃｽﾄ.txt\nK\\テスト.txt\nK\\てすと.txt\n");
}

TEST_F(CliTest, FindPrintsJsonAndRealPaths) {
  WriteSample();
  EXPECT_EQ(Run({"find", m_strSet, "--name", "report", "--real-path"}).strOut,
            "/media/cd/Docs/Report.qx1\n/home/u/report.QX1\n");
  const CRun run = Run({"find", m_strSet, "--name", "", "--json"}, "JST-9");
  ASSERT_EQ(run.nStatus, 0) << run.strErr;
  std::vector<nlohmann::json> objects;
  std::istringstream in(run.strOut);
  for (std::string line; std::getline(in, line);) objects.push_back(nlohmann::json::parse(line));
  ASSERT_EQ(objects.size(), 9u);
  EXPECT_EQ(objects[0]["path"], "");
  EXPECT_TRUE(objects[0]["real_path"].is_null());
  EXPECT_EQ(objects[1]["real_path"], "/media/cd");
  EXPECT_EQ(objects[1]["catalog"], "CD1");
  const nlohmann::json& report = objects[3];
  EXPECT_EQ(report["path"], "CD1\\Docs\\Report.qx1");
  EXPECT_EQ(report["real_path"], "/media/cd/Docs/Report.qx1");
  EXPECT_EQ(report["size"], 1024);
  EXPECT_EQ(report["modified"], "2000-01-11T05:00:00+09:00");
  EXPECT_EQ(report["note"], "要確認");
  EXPECT_EQ(report["catalog"], "CD1");
  EXPECT_EQ(objects[8]["size"], 5ULL << 30);
  EXPECT_EQ(objects[7]["note"], "a\tb\nc\"d\\e");
  EXPECT_EQ(Run({"find", m_strSet, "--name", "", "--json", "--real-path"}).nStatus, 2);
}

// Real paths are bytes: printed as they are, in JSON as text only when they
// are UTF-8; distinct files never share a path.
TEST_F(CliTest, FindGivesRealPathsByteForByte) {
  CRootFileInfo set("x");
  auto cd = std::make_unique<CDriveFileInfo>("CD", "/media/cd", CMediumFacts{});
  for (const char* name : {"caf\xe9.txt", "\x80", "\xff", "\xe2\x89\x92"}) Add(*cd, EscapeBytes(name, true), 0x20);
  set.AppendCatalog(std::move(cd), 0);
  ASSERT_EQ(WriteSetFile(m_strSet, set), ESetFileError::None);
  EXPECT_EQ(Run({"find", m_strSet, "--from", "CD", "--name", "", "--real-path"}).strOut,
            "/media/cd\n/media/cd/caf\xe9.txt\n/media/cd/\x80\n/media/cd/\xff\n/media/cd/\xe2\x89\x92\n");
  const CRun run = Run({"find", m_strSet, "--name", "caf", "--json"});
  const nlohmann::json cafe = nlohmann::json::parse(run.strOut);
  EXPECT_TRUE(cafe["real_path"].is_null());
  EXPECT_EQ(cafe["real_path_bytes"], "L21lZGlhL2NkL2NhZukudHh0");  // base64 of /media/cd/caf\xe9.txt
  const nlohmann::json text = nlohmann::json::parse(Run({"find", m_strSet, "--name", "\xe2\x89\x92", "--json"}).strOut);
  EXPECT_EQ(text["real_path"], "/media/cd/\xe2\x89\x92");
  EXPECT_FALSE(text.contains("real_path_bytes"));
}

// Other writers' labels may hold "\\": such a catalog is named as ls shows it.
TEST_F(CliTest, ALabelHoldingABackslashIsReachedAsItReads) {
  const std::string tree = File("tree");
  std::filesystem::create_directories(tree);
  std::ofstream(tree + "/f.txt") << "x";
  CRootFileInfo set("x");
  auto odd = std::make_unique<CDriveFileInfo>("A\\B", tree, CMediumFacts{});
  Add(*odd, "f.txt", 0x20, 1);
  set.AppendCatalog(std::move(odd), 0);
  ASSERT_EQ(WriteSetFile(m_strSet, set), ESetFileError::None);
  EXPECT_TRUE(Has(Run({"ls", m_strSet}).strOut, "A\\B\t"));
  EXPECT_TRUE(Has(Run({"info", m_strSet, "A\\B"}).strOut, "\"name\":\"A\\\\B\""));
  EXPECT_EQ(Run({"note", m_strSet, "--text", "メモ", "A\\B\\f.txt"}).nStatus, 0);
  EXPECT_EQ(Run({"find", m_strSet, "--note", "メモ"}).strOut, "A\\B\\f.txt\n");
  // Hand-made times: the sample finds no file as catalogued, so only --force updates.
  EXPECT_TRUE(Has(Run({"update", m_strSet, "A\\B", "--dry-run", "--quiet", "--force"}).strOut, "追加 0 / 削除 0"));
  EXPECT_EQ(Run({"rm", m_strSet, "A\\B"}).nStatus, 0);
  EXPECT_EQ(Run({"ls", m_strSet}).strOut, "");
}

// Other writers may put a catalog inside a folder: the set keeps no record
// of its own for it, and the outer catalog's records name its items by
// place, so it is not updated, with a message and the file as it was.
TEST_F(CliTest, UpdateOfACatalogInsideAFolderIsRefusedAndChangesNothing) {
  const std::string tree = File("tree");
  std::filesystem::create_directories(tree);
  std::ofstream(tree + "/a.txt") << "x";
  CRootFileInfo set("x");
  auto outer = std::make_unique<CDriveFileInfo>("T", "/", CMediumFacts{});
  CFindData record;
  record.cFileName = "C";
  auto* inner = static_cast<CDriveFileInfo*>(AddFolder(*outer, "d")->AddChildOfKind(CFileInfo::KIND_CATALOG, record));
  inner->m_strLabel = "C";
  inner->m_strCatalogedPath = tree;
  set.AppendCatalog(std::move(outer), 0);
  ASSERT_EQ(WriteSetFile(m_strSet, set), ESetFileError::None);
  const std::string before = ReadAll(m_strSet);

  const CRun run = Run({"update", m_strSet, "T\\d\\C", "--quiet", "--force"});
  EXPECT_EQ(run.nStatus, 1);
  EXPECT_TRUE(Has(run.strErr, "中にあるカタログ")) << run.strErr;
  EXPECT_EQ(run.strOut, "");
  EXPECT_EQ(ReadAll(m_strSet), before);
}

// Each message says what is wrong and with which file.
TEST_F(CliTest, MessagesSayWhatAndWhich) {
  WriteSample();
  const std::string before = ReadAll(m_strSet);
  const CRun empty = Run({"add", m_strSet, "", m_strDir});
  EXPECT_EQ(empty.nStatus, 2);
  EXPECT_TRUE(Has(empty.strErr, "ラベルが空です")) << empty.strErr;
  EXPECT_EQ(ReadAll(m_strSet), before);

  EXPECT_TRUE(Has(Run({"ls", m_strSet, "CD1\\Docs\\Report.qx1"}).strErr,
                  "フォルダではなくファイルです: CD1\\Docs\\Report.qx1"));
  EXPECT_TRUE(Has(Run({"ls", m_strSet, "CD1\\nope"}).strErr, "項目が見つかりません: CD1\\nope"));

  const CRun folder = Run({"new", "/proc/self/new.fcf"});
  EXPECT_EQ(folder.nStatus, 4);
  EXPECT_TRUE(Has(folder.strErr, "フォルダに書き込めないため保存できません: /proc/self")) << folder.strErr;
  std::ofstream(File("junk.fcf"), std::ios::binary) << "not a set file";
  EXPECT_TRUE(Has(Run({"ls", File("junk.fcf")}).strErr, "カタログセットとして読めません: " + File("junk.fcf")));

  const CRun report = Run({"report", m_strSet, "-", "--catalog", "HD"});
  EXPECT_EQ(report.nStatus, 0) << report.strErr;
  EXPECT_TRUE(Has(report.strOut, "report.QX1"));
  EXPECT_FALSE(Has(report.strOut, "Report.qx1"));
}

TEST_F(CliTest, InfoForTheSetOneItemAndSeveral) {
  WriteSample();
  const std::string empty =
      "\"machine\":\"\",\"free_space\":\"\",\"total_space\":\"\",\"media\":\"\",\"base_path\":\"\"";
  EXPECT_EQ(Run({"info", m_strSet}).strOut,
            "{\"type\":0,\"name\":\"work カタログセット\",\"kind\":\"\",\"note\":\"全体\",\"created\":\"2000/02/01 "
            "00:00:00\","
            "\"modified\":\"\",\"path\":\"\",\"attributes\":\"\",\"size\":\"\"," +
                empty + ",\"catalog_count\":\"2\"}\n");
  EXPECT_EQ(Run({"info", m_strSet, "CD1\\Docs\\Report.qx1"}, "JST-9").strOut,
            "{\"type\":1,\"name\":\"Report.qx1\",\"kind\":\"" + TypeNameFor(".qx1", false) +
                "\",\"note\":\"要確認\","
                "\"created\":\"2000/01/09 09:00:00\",\"modified\":\"2000/01/11 "
                "05:00:00\",\"path\":\"CD1\\\\Docs\\\\Report.qx1\","
                "\"attributes\":\"読み取り専用・アーカイブ\",\"size\":\"1,024バイト\"," +
                empty + ",\"catalog_count\":\"\"}\n");
  EXPECT_TRUE(Has(Run({"info", m_strSet, "HD"}).strOut,
                  "\"size\":\"5,368,709,120バイト\",\"machine\":\"PC-02\",\"free_space\":\"8,589,934,592バイト\","
                  "\"total_space\":\"17,179,869,184バイト\",\"media\":\"固定ディスク\",\"base_path\":\"/home/u\""));
  const std::string several = Run({"info", m_strSet, "CD1\\Docs", "HD\\report.QX1"}).strOut;
  EXPECT_TRUE(Has(several, "{\"type\":4,\"name\":\"複数のファイル\",\"kind\":\"複数の種類\",\"note\":\"\","));
  EXPECT_TRUE(Has(several, "\"size\":\"5,368,711,169バイト\""));
  for (const CArgs& args : {CArgs{"info", m_strSet, "CD1\\Nope"}, CArgs{"info", m_strSet, "CD1", "Nope"}}) {
    const CRun run = Run(args);
    EXPECT_EQ(run.nStatus, 1);
    EXPECT_EQ(run.strOut, "");
  }
}

TEST_F(CliTest, NoteAndRmSaveOnlyWhenSomethingChanges) {
  WriteSample();
  ASSERT_EQ(Run({"note", m_strSet, "--text", "新しい\nメモ", "CD1\\Docs2", "HD"}).nStatus, 0);
  EXPECT_EQ(Run({"find", m_strSet, "--note", "新しい\nメモ", "--exact"}).strOut, "CD1\\Docs2\nHD\n");
  std::string saved = ReadAll(m_strSet);
  EXPECT_EQ(Run({"note", m_strSet, "CD1\\Docs2", "--text", "新しい\nメモ"}).nStatus, 1);
  EXPECT_EQ(Run({"note", m_strSet, "--text", "x", "HD", "HD\\nope"}).nStatus, 1);  // all or nothing
  EXPECT_EQ(ReadAll(m_strSet), saved);

  ASSERT_EQ(Run({"rm", m_strSet, "CD1"}).nStatus, 0);
  EXPECT_EQ(Run({"find", m_strSet, "--size", "0", "0"}).strOut, "HD\\report.QX1\n");
  saved = ReadAll(m_strSet);
  for (const char* path : {"CD1", "HD\\report.QX1", ""}) EXPECT_EQ(Run({"rm", m_strSet, path}).nStatus, 1) << path;
  EXPECT_EQ(ReadAll(m_strSet), saved);
}

TEST_F(CliTest, BadAndMissingFiles) {
  WriteSample();
  const std::string good = ReadAll(m_strSet);
  std::ofstream(File("junk.fcf"), std::ios::binary) << "not a set file";
  std::ofstream(File("cut.fcf"), std::ios::binary) << good.substr(0, good.size() / 2);
  std::ofstream(File("empty.fcf"), std::ios::binary).flush();
  for (const char* name : {"junk.fcf", "cut.fcf", "empty.fcf"}) {
    const CRun run = Run({"dump", File(name)});
    EXPECT_EQ(run.nStatus, 3) << name;
    EXPECT_EQ(run.strOut, "") << name;
  }
  EXPECT_TRUE(Has(Run({"ls", File("cut.fcf")}).strErr, "予期しないﾌｧｲﾙ形式です。"));

  const CRun missing = Run({"info", File("missing.fcf")});
  EXPECT_EQ(missing.nStatus, 4);
  EXPECT_TRUE(Has(missing.strErr, "ファイルが見つかりません: " + File("missing.fcf")));
  EXPECT_EQ(Run({"note", File("missing.fcf"), "--text", "x", "HD"}).nStatus, 4);
  EXPECT_FALSE(std::filesystem::exists(File("missing.fcf")));
  EXPECT_EQ(Run({"dump", m_strDir}).nStatus, 4);
  // Output that cannot be written is a failure, not a short listing.
  EXPECT_EQ(Run({"dump", m_strSet}, "UTC", "/dev/full").nStatus, 4);
}

TEST_F(CliTest, AddRefusesALabelHoldingTheSeparator) {
  WriteSample();
  const std::string before = ReadAll(m_strSet);
  const CRun run = Run({"add", m_strSet, "CD\\2", m_strDir});
  EXPECT_EQ(run.nStatus, 2);
  EXPECT_TRUE(Has(run.strErr, "ラベルに「\\」は使用できません"));
  EXPECT_EQ(ReadAll(m_strSet), before);
}

TEST_F(CliTest, WhatMayNotBeReplacedIsRefused) {
  WriteSample();
  const std::string good = ReadAll(m_strSet), fifo = File("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
  EXPECT_EQ(Run({"dump", fifo}).nStatus, 4);  // at once: nothing writes to the FIFO
  for (const CArgs& args : {CArgs{"copy", m_strSet, fifo}, CArgs{"report", m_strSet, fifo}}) {
    const CRun run = Run(args);
    EXPECT_EQ(run.nStatus, 4) << args[0];
    EXPECT_TRUE(Has(run.strErr, "通常のファイルではないため書き込めません: " + fifo)) << args[0];
  }
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));

  ASSERT_EQ(chmod(m_strSet.c_str(), 0444), 0);
  const CRun readOnly = Run({"note", m_strSet, "--text", "x", "HD"});
  EXPECT_EQ(readOnly.nStatus, 4);
  EXPECT_TRUE(Has(readOnly.strErr, "ファイルにアクセスできません: " + m_strSet));
  EXPECT_EQ(ReadAll(m_strSet), good);
}

// What a command writes is never the set it reads, under any of its names.
TEST_F(CliTest, NoCommandWritesOverTheSetItReads) {
  WriteSample();
  const std::string good = ReadAll(m_strSet), link = File("link.fcf");
  std::filesystem::create_hard_link(m_strSet, link);
  for (const std::string& out : {m_strSet, link}) {
    for (const CArgs& args : {CArgs{"export", m_strSet, "--format", "csv", "-o", out}, CArgs{"report", m_strSet, out},
                              CArgs{"copy", m_strSet, out}}) {
      const CRun run = Run(args);
      EXPECT_EQ(run.nStatus, 2) << args[0];
      EXPECT_TRUE(Has(run.strErr, "出力ファイルが読み込むカタログセットと同じです: " + out)) << run.strErr;
      EXPECT_EQ(ReadAll(m_strSet), good) << args[0];
    }
  }
}

// A second program changing the set waits for the first to save, then reads
// what it saved: no change is lost.
TEST_F(CliTest, ChangesOfTwoProgramsAreBothKept) {
  WriteSample();
  std::unique_ptr<CRootFileInfo> set;
  ASSERT_EQ(ReadSetFile(m_strSet, set), ESetFileError::None);
  auto lock = std::make_unique<CReplaceLock>();
  ASSERT_TRUE(lock->Acquire(m_strSet));
  const pid_t second = Start({"note", m_strSet, "--text", "second", "HD"});
  SaysItWaits();
  ASSERT_TRUE(set->SetNotes({"CD1"}, "first"));
  CSaveOptions underLock;
  underLock.bLockHeld = true;
  ASSERT_EQ(WriteSetFile(m_strSet, *set, nullptr, underLock), ESetFileError::None);
  lock.reset();
  ASSERT_EQ(Wait(second).nStatus, 0);
  EXPECT_EQ(Run({"find", m_strSet, "--note", "first", "--exact"}).strOut, "CD1\n");
  EXPECT_EQ(Run({"find", m_strSet, "--note", "second", "--exact"}).strOut, "HD\n");
}

// A link to nothing is refused, not replaced and not written through.
TEST_F(CliTest, SavingOntoABrokenLinkIsRefused) {
  WriteSample();
  const std::string link = File("link.fcf");
  ASSERT_EQ(symlink("nowhere.fcf", link.c_str()), 0);
  for (const CArgs& args : {CArgs{"copy", m_strSet, link}, CArgs{"new", link}}) {
    const CRun run = Run(args);
    EXPECT_EQ(run.nStatus, 4) << args[0];
    EXPECT_TRUE(Has(run.strErr, args[0] == "new" ? "ファイルが既に存在します: " + link
                                                 : "リンク先が存在しないため書き込めません: " + link))
        << run.strErr;
    EXPECT_TRUE(std::filesystem::is_symlink(link)) << args[0];
  }
  EXPECT_FALSE(std::filesystem::exists(File("nowhere.fcf")));
}

// Writers that load nothing under the lock still replace the set under it;
// Ctrl+C or SIGTERM end any wait for the lock, and change nothing.
TEST_F(CliTest, EveryWriterWaitsForTheLockAndAStopEndsTheWait) {
  WriteSample();
  const std::string sample = ReadAll(m_strSet), copy = File("copy.fcf");
  ASSERT_EQ(WriteSetFile(copy, CRootFileInfo("old")), ESetFileError::None);
  const std::string old = ReadAll(copy);
  auto lock = std::make_unique<CReplaceLock>();
  ASSERT_TRUE(lock->Acquire(copy));
  const pid_t copying = Start({"copy", m_strSet, copy});
  EXPECT_TRUE(SaysItWaits());
  EXPECT_EQ(ReadAll(copy), old);
  lock.reset();
  ASSERT_EQ(Wait(copying).nStatus, 0);
  EXPECT_EQ(ReadAll(copy), sample);

  const std::pair<CArgs, int> stopped[] = {{{"note", m_strSet, "--text", "x", "HD"}, SIGTERM},
                                           {{"copy", copy, m_strSet}, SIGINT}};
  for (const auto& [args, signal] : stopped) {
    lock = std::make_unique<CReplaceLock>();
    ASSERT_TRUE(lock->Acquire(m_strSet));
    const pid_t waiting = Start(args);
    EXPECT_TRUE(SaysItWaits()) << args[0];
    kill(waiting, signal);
    const CRun run = Wait(waiting);
    EXPECT_EQ(run.nStatus, 128 + signal) << args[0];
    EXPECT_TRUE(Has(run.strErr, "中断しました")) << run.strErr;
    EXPECT_EQ(ReadAll(m_strSet), sample) << args[0];
  }
}

TEST_F(CliTest, UsageErrors) {
  const CRun bare = Run({});
  EXPECT_EQ(bare.nStatus, 2);
  EXPECT_TRUE(Has(bare.strOut, "quarrix-cli dump SET"));
  WriteSample();
  const std::vector<CArgs> bad = {
      {"frobnicate", m_strSet},
      {"dump"},
      {"dump", m_strSet, "x"},
      {"copy", m_strSet},
      {"ls", m_strSet, "CD1", "x"},
      {"rm", m_strSet},
      {"find", m_strSet},
      {"find", m_strSet, "--name"},
      {"find", m_strSet, "--name", "a", "--name", "b"},
      {"find", m_strSet, "--size", "0", "0", "--exact"},
      {"find", m_strSet, "--name", "a", "--bogus"},
      {"note", m_strSet, "HD"},
      {"note", m_strSet, "--text", "x"},
  };
  for (const CArgs& args : bad) {
    const CRun run = Run(args);
    EXPECT_EQ(run.nStatus, 2) << args[0] << " " << args.back();
    EXPECT_TRUE(Has(run.strErr, "使い方")) << args[0] << " " << args.back();
  }
  for (const char* size : {"-1", "1.5", "", "+", "１"})
    EXPECT_EQ(Run({"find", m_strSet, "--size", size, "0"}).nStatus, 2) << size;
}

TEST_F(CliTest, VersionAndHelpPerCommand) {
  const CRun version = Run({"--version"});
  EXPECT_EQ(version.nStatus, 0);
  EXPECT_EQ(version.strOut.rfind("quarrix-cli ", 0), 0u) << version.strOut;
  EXPECT_GT(version.strOut.size(), std::string("quarrix-cli \n").size());

  // Only the command's own lines, on stdout, and success.
  const CRun find = Run({"find", "--help"});
  EXPECT_EQ(find.nStatus, 0);
  EXPECT_TRUE(Has(find.strOut, "使い方:\n  quarrix-cli find SET"));
  EXPECT_TRUE(Has(find.strOut, "終了コード:"));
  EXPECT_FALSE(Has(find.strOut, "quarrix-cli ls"));
  const CRun help = Run({"help", "report"});
  EXPECT_EQ(help.nStatus, 0);
  EXPECT_TRUE(Has(help.strOut, "quarrix-cli report SET OUT"));
  EXPECT_FALSE(Has(help.strOut, "quarrix-cli add"));
  EXPECT_EQ(Run({"new", "--help"}).nStatus, 0);
  EXPECT_FALSE(std::filesystem::exists("--help"));
}

}  // namespace

TEST_F(CliTest, ReportWritesChosenCatalogsAndColumns) {
  WriteSample();
  const std::string out = File("report.htm");
  CRun run = Run({"report", m_strSet, out, "--catalog", "HD", "--columns", "size,note"});
  ASSERT_EQ(run.nStatus, 0) << run.strErr;
  const std::string html = Cp932ToUtf8(ReadAll(out));
  EXPECT_TRUE(Has(html, "<title>work カタログセットのカタログ情報</title>"));
  EXPECT_TRUE(Has(html, "<h2>1. HD カタログ</h2>"));
  EXPECT_FALSE(Has(html, "CD1 カタログ"));
  EXPECT_TRUE(Has(html, "<td width=\"150\">名前</td><td width=\"70\">サイズ</td><td width=\"200\">ノート</td>"));

  // A label that names no catalog writes nothing.
  run = Run({"report", m_strSet, File("none.htm"), "--catalog", "HD", "--catalog", "CD9"});
  EXPECT_EQ(run.nStatus, 1);
  EXPECT_TRUE(Has(run.strErr, "カタログが見つかりません: CD9")) << run.strErr;
  EXPECT_FALSE(std::filesystem::exists(File("none.htm")));

  EXPECT_EQ(Run({"report", m_strSet, out, "--columns", "colour"}).nStatus, 2);
  EXPECT_EQ(Run({"report", m_strSet}).nStatus, 2);
  run = Run({"report", m_strSet, File("no/such/report.htm")});
  EXPECT_EQ(run.nStatus, 4);
  EXPECT_TRUE(Has(run.strErr, "カタログ情報の出力に失敗しました"));
}

TEST_F(CliTest, AddOfAPlaceThatDoesNotExistChangesNothing) {
  WriteSample();
  const std::string before = ReadAll(m_strSet);
  const CRun run = Run({"add", m_strSet, "New", File("no/such/path")});
  EXPECT_EQ(run.nStatus, 1);
  EXPECT_TRUE(Has(run.strErr, "指定された場所が見つかりません")) << run.strErr;
  EXPECT_EQ(ReadAll(m_strSet), before);
}

TEST_F(CliTest, AddStoppedBySignalLeavesTheSetAndNoTemporaryFile) {
  WriteSample();
  const std::string before = ReadAll(m_strSet);
  const std::string tree = MakeLargeTree();
  const CRun run = StopWhileScanning(Start({"add", m_strSet, "Tree", tree, "--quiet"}), tree);
  EXPECT_EQ(run.nStatus, 143) << run.strErr;
  EXPECT_TRUE(Has(run.strErr, "中断しました")) << run.strErr;
  EXPECT_EQ(ReadAll(m_strSet), before);
  ExpectOnlyTheSetAndTree();
}

TEST_F(CliTest, UpdateListsDifferencesFollowsAMovedMediumAndKeepsNotes) {
  const std::string disk = File("disk");
  std::filesystem::create_directories(disk + "/docs");
  std::ofstream(disk + "/docs/a.txt") << "a";
  std::ofstream(disk + "/gone.txt") << "g";
  std::ofstream(disk + "/change.txt") << "c";
  ASSERT_EQ(Run({"add", m_strSet, "Disk", disk, "--quiet"}).nStatus, 0);
  ASSERT_EQ(Run({"note", m_strSet, "--text", "メモ", "Disk\\docs\\a.txt", "Disk\\gone.txt", "Disk"}).nStatus, 0);

  const std::string moved = File("moved");
  std::filesystem::rename(disk, moved);
  std::filesystem::remove(moved + "/gone.txt");
  std::ofstream(moved + "/change.txt") << "changed";
  std::ofstream(moved + "/new.txt") << "n";
  const std::string before = ReadAll(m_strSet);
  CRun run = Run({"update", m_strSet, "Disk", "--quiet"});
  EXPECT_EQ(run.nStatus, 1);
  EXPECT_TRUE(Has(run.strErr, "カタログの場所が見つかりません")) << run.strErr;

  // Another folder of the same disk than the one catalogued is refused, naming it.
  run = Run({"update", m_strSet, "Disk", moved, "--dry-run", "--quiet"});
  EXPECT_EQ(run.nStatus, 1);
  EXPECT_TRUE(Has(run.strErr, "カタログを作った場所とは別のフォルダです")) << run.strErr;
  EXPECT_TRUE(Has(run.strErr, "カタログの場所: " + disk)) << run.strErr;
  run = Run({"update", m_strSet, "Disk", moved, "--dry-run", "--quiet", "--force"});
  EXPECT_EQ(run.nStatus, 0) << run.strErr;
  EXPECT_EQ(run.strOut,
            "~ Disk\\change.txt\n! Disk\\gone.txt\n+ Disk\\new.txt\n"
            "追加 1 / 削除 1 / 変更 1 / 残るノート 1 / 失われるノート 1\n基本パス: " +
                moved + "\n");
  EXPECT_EQ(ReadAll(m_strSet), before);

  run = Run({"update", m_strSet, "Disk", moved, "--quiet", "--force"});
  EXPECT_EQ(run.nStatus, 0) << run.strErr;
  run = Run({"dump", m_strSet});
  EXPECT_TRUE(Has(run.strOut, moved)) << run.strOut;
  run = Run({"find", m_strSet, "--note", "メモ"});
  EXPECT_TRUE(Has(run.strOut, "Disk\\docs\\a.txt")) << run.strOut;
  EXPECT_FALSE(Has(run.strOut, "gone.txt")) << run.strOut;
  run = Run({"info", m_strSet, "Disk"});
  EXPECT_TRUE(Has(run.strOut, "メモ")) << run.strOut;
  // Now at its base path, with nothing new: nothing to do.
  EXPECT_EQ(Run({"update", m_strSet, "Disk", "--quiet"}).nStatus, 1);
}

TEST_F(CliTest, UpdateStoppedBySignalLeavesTheSetAndNoTemporaryFile) {
  const std::string tree = MakeLargeTree();
  ASSERT_EQ(Run({"add", m_strSet, "Tree", tree, "--quiet"}).nStatus, 0);
  std::ofstream(tree + "/f0/new");
  const std::string before = ReadAll(m_strSet);
  const CRun run = StopWhileScanning(Start({"update", m_strSet, "Tree", "--quiet"}), tree);
  EXPECT_EQ(run.nStatus, 143) << run.strErr;
  EXPECT_EQ(ReadAll(m_strSet), before);
  ExpectOnlyTheSetAndTree();
}

namespace {

// The set object of a set file: what a writer that knows nothing of the
// program's own block keeps of it.
std::string WithoutBlock(const std::string& bytes) { return bytes.substr(0, bytes.rfind("QRXB")); }

TEST_F(CliTest, MisspeltOptionsAreRefusedNotTakenForPaths) {
  const std::string dir = File("data/dir");
  std::filesystem::create_directories(dir);
  for (const CArgs& args :
       {CArgs{"add", m_strSet, "L", dir, "--quite"}, CArgs{"add", m_strSet, "L", dir, "--follow-link"},
        CArgs{"update", m_strSet, "L", "--fast"}, CArgs{"ls", m_strSet, "-l"}}) {
    const CRun run = Run(args);
    EXPECT_EQ(run.nStatus, 2) << args[0] << " " << args.back();
    EXPECT_TRUE(Has(run.strErr, "不明なオプションです: " + args.back())) << run.strErr;
    EXPECT_TRUE(Has(run.strErr, "quarrix-cli " + args[0])) << run.strErr;
  }
  EXPECT_FALSE(std::filesystem::exists(m_strSet));
  CRun run = Run({"update", m_strSet, "L", "--help"});
  EXPECT_EQ(run.nStatus, 0);
  EXPECT_TRUE(Has(run.strOut, "quarrix-cli update SET LABEL")) << run.strOut;
  // "--" ends the options: a label may start with "-".
  run = Run({"add", "--quiet", m_strSet, "--", "-L", dir});
  EXPECT_EQ(run.nStatus, 0) << run.strErr;
  EXPECT_TRUE(Has(Run({"ls", m_strSet}).strOut, "-L\t")) << run.strErr;
}

TEST_F(CliTest, UpdateScansAsTheCatalogWasMadeAndShowsTheRecord) {
  const std::string disk = File("disk"), elsewhere = File("elsewhere");
  std::filesystem::create_directories(disk);
  std::filesystem::create_directories(elsewhere + "/inner");
  std::ofstream(elsewhere + "/inner/far.txt") << "f";
  std::filesystem::create_directory_symlink(elsewhere, disk + "/link");
  ASSERT_EQ(Run({"add", m_strSet, "Disk", disk, "--follow-links", "--quiet"}).nStatus, 0);
  const std::string before = ReadAll(m_strSet);
  // Updated without the option, the linked folder stays in: nothing changed.
  CRun run = Run({"update", m_strSet, "Disk", "--quiet"});
  EXPECT_EQ(run.nStatus, 1) << run.strOut << run.strErr;
  EXPECT_EQ(ReadAll(m_strSet), before);
  EXPECT_TRUE(Has(run.strOut, "削除 0")) << run.strOut;
  // Paths chosen anew stay on the medium.
  run = Run({"update", m_strSet, "Disk", "--quiet", "--paths", "../elsewhere"});
  EXPECT_EQ(run.nStatus, 2) << run.strErr;
  EXPECT_TRUE(Has(run.strErr, "--paths にはメディアの場所の中のパスを指定してください: ../elsewhere")) << run.strErr;
  EXPECT_EQ(ReadAll(m_strSet), before);
  run = Run({"update", m_strSet, "Disk", "--paths", "link", "--dry-run", "--quiet"});
  EXPECT_EQ(run.nStatus, 0) << run.strErr;
  EXPECT_TRUE(Has(run.strOut, "削除 0")) << run.strOut;

  run = Run({"info", m_strSet, "Disk"});
  const nlohmann::json info = nlohmann::json::parse(run.strOut);
  EXPECT_EQ(info["record"]["follow_links"], true) << run.strOut;
  EXPECT_EQ(info["record"]["chosen_paths"], nlohmann::json::array());
  EXPECT_FALSE(info["record"]["file_system"].get<std::string>().empty());
  // copy keeps the block as it is.
  ASSERT_EQ(Run({"copy", m_strSet, File("copy.fcf")}).nStatus, 0);
  EXPECT_EQ(ReadAll(File("copy.fcf")), before);
}

TEST_F(CliTest, UpdateOfAnOldCatalogThatWouldEmptyItNeedsForce) {
  const std::string disk = File("disk");
  std::filesystem::create_directories(disk);
  for (const char* name : {"a", "b", "c"}) std::ofstream(disk + "/" + name) << name;
  ASSERT_EQ(Run({"add", m_strSet, "Disk", disk, "--quiet"}).nStatus, 0);
  // Saved by a writer that keeps only the set object: the catalog has no record.
  const std::string old = WithoutBlock(ReadAll(m_strSet));
  std::ofstream(m_strSet, std::ios::binary | std::ios::trunc) << old;
  for (const char* name : {"a", "b"}) std::filesystem::remove(disk + "/" + name);

  CRun run = Run({"update", m_strSet, "Disk", "--quiet"});
  EXPECT_EQ(run.nStatus, 1);
  EXPECT_TRUE(Has(run.strErr, "--force")) << run.strErr;
  EXPECT_EQ(ReadAll(m_strSet), old);
  run = Run({"update", m_strSet, "Disk", "--quiet", "--force"});
  EXPECT_EQ(run.nStatus, 0) << run.strErr;
  EXPECT_TRUE(Has(Run({"info", m_strSet, "Disk"}).strOut, "\"record\":{")) << "the update records how it scanned";
}

TEST_F(CliTest, UpdateRefusesTheEmptyFolderAnUnmountedMediumLeaves) {
  const std::string mount = File("cd");
  std::filesystem::create_directories(mount);
  if (::mount("quarrix-test", mount.c_str(), "tmpfs", 0, "size=1m") != 0)
    GTEST_SKIP() << "mounting is not allowed here";
  std::ofstream(mount + "/song.mp3") << "music";
  const CRun added = Run({"add", m_strSet, "CD", mount, "--quiet"});
  ASSERT_EQ(::umount(mount.c_str()), 0);
  ASSERT_EQ(added.nStatus, 0) << added.strErr;
  ASSERT_EQ(Run({"note", m_strSet, "--text", "好きな曲", "CD\\song.mp3"}).nStatus, 0);
  const std::string before = ReadAll(m_strSet);

  CRun run = Run({"update", m_strSet, "CD", "--quiet"});
  EXPECT_EQ(run.nStatus, 1);
  EXPECT_TRUE(Has(run.strErr, "「CD」のメディアが接続されていません")) << run.strErr;
  EXPECT_TRUE(Has(run.strErr, "tmpfs")) << run.strErr;
  EXPECT_EQ(ReadAll(m_strSet), before);
  run = Run({"update", m_strSet, "CD", "--quiet", "--force"});
  EXPECT_EQ(run.nStatus, 0) << run.strErr;
  EXPECT_TRUE(Has(run.strOut, "! CD\\song.mp3")) << run.strOut;
}

TEST_F(CliTest, IdentifyNamesTheCatalogOfAFoldersMediumInEachSet) {
  const std::string disk = File("disk");
  std::filesystem::create_directories(disk);
  const std::string other = File("other.fcf");
  WriteSample();  // CD1 and HD, media this folder is not
  std::filesystem::rename(m_strSet, other);
  ASSERT_EQ(Run({"add", m_strSet, "Disk", disk, "--quiet"}).nStatus, 0);

  CRun run = Run({"identify", m_strSet, disk});
  EXPECT_EQ(run.nStatus, 0) << run.strErr;
  EXPECT_EQ(run.strOut.rfind("Disk\t", 0), 0u) << run.strOut;
  EXPECT_TRUE(Has(run.strOut, "が一致\t")) << run.strOut;
  run = Run({"identify", other, m_strSet, disk});
  EXPECT_EQ(run.nStatus, 0) << run.strErr;
  EXPECT_EQ(run.strOut.rfind(m_strSet + "\tDisk\t", 0), 0u) << run.strOut;
  EXPECT_EQ(std::count(run.strOut.begin(), run.strOut.end(), '\n'), 1) << run.strOut;

  run = Run({"identify", other, disk});
  EXPECT_EQ(run.nStatus, 1);
  EXPECT_TRUE(Has(run.strErr, "一致するカタログはありません")) << run.strErr;
  EXPECT_EQ(Run({"identify", m_strSet, File("nowhere")}).nStatus, 1);
  EXPECT_EQ(Run({"identify", disk}).nStatus, 2);
  EXPECT_EQ(Run({"identify", m_strSet, disk, "--quiet"}).nStatus, 2);
}

// A RAM disk of its own, unmounted at the end of the test.
struct CRamDisk {
  explicit CRamDisk(std::string path) : strPath(std::move(path)) {
    std::filesystem::create_directories(strPath);
    bMounted = ::mount("quarrix", strPath.c_str(), "tmpfs", 0, "size=8m") == 0;
  }
  ~CRamDisk() { Unmount(); }
  void Unmount() {
    if (bMounted) umount2(strPath.c_str(), MNT_DETACH);
    bMounted = false;
  }
  std::string strPath;
  bool bMounted = false;
};

TEST_F(CliTest, IdentifyTellsAMediumWithoutIdentityByItsFilesAndSeesItChanged) {
  CRamDisk ram(File("ram"));
  if (!ram.bMounted) GTEST_SKIP() << "mounting is not allowed here";
  // A RAM disk has no identity that lasts: an empty one is never taken
  // for the catalog's, one holding its files is, by a sample of them.
  ASSERT_EQ(Run({"add", m_strSet, "RAM", ram.strPath, "--quiet"}).nStatus, 0);
  EXPECT_EQ(Run({"identify", m_strSet, ram.strPath}).nStatus, 1);
  std::ofstream(ram.strPath + "/a.bin") << "a";
  ASSERT_EQ(Run({"rm", m_strSet, "RAM"}).nStatus, 0);
  ASSERT_EQ(Run({"add", m_strSet, "RAM", ram.strPath, "--quiet"}).nStatus, 0);
  CRun run = Run({"identify", m_strSet, ram.strPath});
  EXPECT_EQ(run.nStatus, 0) << run.strErr;
  EXPECT_EQ(run.strOut, "RAM\tファイルの見本が一致 (1/1)\t変更なし\n");

  std::ofstream(ram.strPath + "/new.bin") << std::string(1 << 20, 'x');
  run = Run({"identify", m_strSet, ram.strPath});
  EXPECT_EQ(run.nStatus, 0) << run.strErr;
  EXPECT_EQ(run.strOut, "RAM\tファイルの見本が一致 (1/1)\t変更あり (空き容量が 1,048,576バイト減っています)\n");

  // The empty mount point is the folder's own file system, not the RAM disk.
  ram.Unmount();
  EXPECT_EQ(Run({"identify", m_strSet, ram.strPath}).nStatus, 1);
}

}  // namespace

namespace {

TEST_F(CliTest, PlacesThatCannotBeReadAreNamedAndKeepWhatTheCatalogHeld) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to run the tool as another user";
  const std::string disk = File("disk");
  std::filesystem::create_directories(disk + "/locked");
  std::filesystem::create_directories(disk + "/listonly");
  std::ofstream(disk + "/locked/secret.txt") << "s";
  std::ofstream(disk + "/listonly/f.txt") << "12345";
  std::ofstream(disk + "/open.txt") << "o";
  ASSERT_EQ(Run({"add", m_strSet, "Disk", disk, "--quiet"}).nStatus, 0);
  ASSERT_EQ(Run({"note", m_strSet, "--text", "秘密", "Disk\\locked\\secret.txt"}).nStatus, 0);
  chmod(m_strDir.c_str(), 0777);
  chmod(m_strSet.c_str(), 0666);
  chmod((disk + "/locked").c_str(), 0);
  chmod((disk + "/listonly").c_str(), 0644);  // names can be read, their facts not
  const std::string before = ReadAll(m_strSet);

  m_bAsNobody = true;
  CRun run = Run({"update", m_strSet, "Disk", "--quiet"});
  EXPECT_EQ(run.nStatus, 1) << run.strOut << run.strErr;
  EXPECT_TRUE(Has(run.strErr, "読めなかった場所 2 件")) << run.strErr;
  EXPECT_TRUE(Has(run.strErr, "Disk\\locked\n")) << run.strErr;
  EXPECT_TRUE(Has(run.strErr, "Disk\\listonly\\f.txt")) << run.strErr;
  EXPECT_TRUE(Has(run.strOut, "削除 0 / 変更 0")) << run.strOut;
  EXPECT_EQ(ReadAll(m_strSet), before);

  run = Run({"add", m_strSet, "Again", disk, "--quiet"});
  EXPECT_EQ(run.nStatus, 0) << run.strErr;
  EXPECT_TRUE(Has(run.strErr, "読めなかった場所 2 件")) << run.strErr;
  m_bAsNobody = false;
  chmod((disk + "/locked").c_str(), 0755);
  chmod((disk + "/listonly").c_str(), 0755);
}

}  // namespace

namespace {

// Each item below the catalog labelled label in the set file at path: its
// path below the catalog, kind, size, modification time and attributes.
std::vector<std::string> CatalogFacts(const std::string& path, const std::string& label, std::string* mediaType) {
  std::unique_ptr<CRootFileInfo> set;
  EXPECT_EQ(ReadSetFile(path, set), ESetFileError::None);
  const auto* catalog = static_cast<const CDriveFileInfo*>(FindByPath(static_cast<const CFileInfo*>(set.get()), label));
  std::vector<std::string> lines;
  if (catalog == nullptr) return lines;
  if (mediaType) *mediaType = catalog->m_strMediaType;
  WalkBelow(*catalog, label, [&](const CFileInfo& item, const CWalkPath& parent) {
    lines.push_back(parent.PathOf(item).substr(label.size()) + "|" + std::to_string(item.GetKind()) + "|" +
                    std::to_string(item.GetSize()) + "|" + std::to_string(item.WriteFileTime()) + "|" +
                    std::to_string(item.RecordAttributes()) + "|" + item.GetNote() + (item.IsLink() ? "|link" : ""));
  });
  std::sort(lines.begin(), lines.end());
  return lines;
}

}  // namespace

// A listing made where the program does not run gives the catalog a scan
// of the same tree would.
TEST_F(CliTest, AFindListingOfATreeImportsAsItsScan) {
  const std::string tree = File("tree");
  std::filesystem::create_directories(tree + "/sub/深い");
  std::ofstream(tree + "/sub/深い/a,b.txt") << "12345";
  std::ofstream(tree + "/.hidden") << std::string(70000, 'x');
  std::ofstream(tree + "/\xff name");
  // A link as itself, 18 bytes of path, where the program sees links (the
  // system under the Windows program follows them).
  const bool links = std::string(QUARRIX_CLI_PATH).find("wine") == std::string::npos;
  if (links) std::filesystem::create_symlink("sub/深い/a,b.txt", tree + "/link");
  const struct timespec times[2] = {{1234567891, 123456789}, {1234567891, 123456789}};
  for (const char* name : {"/sub/深い/a,b.txt", "/.hidden", "/\xff name", "/link", "/sub/深い", "/sub"})
    if (links || std::string(name) != "/link")
      ASSERT_EQ(utimensat(AT_FDCWD, (tree + name).c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
  const std::string listing = File("listing.txt");
  ASSERT_EQ(std::system(("find '" + tree + "' -printf '%y\\t%s\\t%T@\\t%P\\n' > '" + listing + "'").c_str()), 0);

  ASSERT_EQ(Run({"add", m_strSet, "Scan", tree, "--quiet"}).nStatus, 0);
  const CRun run = Run({"import", m_strSet, "Listed", listing, "--format", "find", "--base", "/remote/tree"});
  ASSERT_EQ(run.nStatus, 0) << run.strErr;
  EXPECT_EQ(run.strOut, links ? "Listed\tインポート\t6\t70023\n" : "Listed\tインポート\t5\t70005\n");
  std::string media;
  const std::vector<std::string> listed = CatalogFacts(m_strSet, "Listed", &media);
  EXPECT_EQ(media, "インポート");
  EXPECT_EQ(listed.size(), links ? 6u : 5u);
  EXPECT_EQ(listed, CatalogFacts(m_strSet, "Scan", nullptr));
}

// Export and import through files: what is imported is what was exported;
// a list with a bad row adds nothing unless told to leave the row out.
TEST_F(CliTest, ExportedListsImportBackAndBadRowsChangeNothing) {
  WriteSample();
  const std::string list = File("cd1.csv");
  CRun run = Run({"export", m_strSet, "--catalog", "CD1", "--format", "csv", "-o", list});
  ASSERT_EQ(run.nStatus, 0) << run.strErr;
  run = Run({"import", m_strSet, "Copy", list, "--format", "csv"});
  ASSERT_EQ(run.nStatus, 0) << run.strErr;
  EXPECT_EQ(CatalogFacts(m_strSet, "Copy", nullptr), CatalogFacts(m_strSet, "CD1", nullptr));

  // Standard output, one JSON object a line with the exact times.
  run = Run({"export", m_strSet, "--catalog", "HD", "--format", "jsonl"});
  ASSERT_EQ(run.nStatus, 0) << run.strErr;
  const nlohmann::json file = nlohmann::json::parse(run.strOut);
  EXPECT_EQ(file["path"], "HD\\report.QX1");
  EXPECT_EQ(file["modified"], "2000-03-01T00:00:00.0000000+00:00");
  EXPECT_EQ(Run({"export", m_strSet, "--catalog", "CD9", "--format", "csv"}).nStatus, 1);
  EXPECT_EQ(Run({"export", m_strSet, "--format", "find"}).nStatus, 2);
  // The form safe for spreadsheets, which only csv and tsv have.
  ASSERT_EQ(Run({"note", m_strSet, "--text", "=1+1", "HD\\report.QX1"}).nStatus, 0);
  run = Run({"export", m_strSet, "--catalog", "HD", "--format", "tsv", "--spreadsheet-safe"});
  EXPECT_TRUE(Has(run.strOut, "\t'=1+1\t")) << run.strOut;
  EXPECT_EQ(Run({"export", m_strSet, "--format", "efu", "--spreadsheet-safe"}).nStatus, 2);

  std::ofstream(list, std::ios::app) << "CD1,CD1\\x,x,file,12z,,,,\r\n";
  const std::string before = ReadAll(m_strSet);
  run = Run({"import", m_strSet, "Bad", list, "--format", "csv"});
  EXPECT_EQ(run.nStatus, 3);
  EXPECT_TRUE(Has(run.strErr, "7 行目: 数値として読めません")) << run.strErr;
  EXPECT_EQ(ReadAll(m_strSet), before);
  // Every row bad: --skip-bad keeps none, and adds no empty catalog.
  const std::string bad = File("bad.csv");
  std::ofstream(bad) << ReadAll(list).substr(0, ReadAll(list).find('\n') + 1) << "CD1,CD1\\x,x,file,12z,,,,\r\n";
  EXPECT_EQ(Run({"import", m_strSet, "Bad", bad, "--format", "csv", "--skip-bad"}).nStatus, 3);
  EXPECT_EQ(ReadAll(m_strSet), before);
  run = Run({"import", m_strSet, "Bad", list, "--format", "csv", "--skip-bad"});
  EXPECT_EQ(run.nStatus, 0) << run.strErr;
  EXPECT_EQ(CatalogFacts(m_strSet, "Bad", nullptr), CatalogFacts(m_strSet, "CD1", nullptr));
}

namespace {

// What a shell command prints, and whether it succeeded.
std::pair<int, std::string> Shell(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return {-1, out};
  char buffer[4096];
  for (std::size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, got);
  return {pclose(pipe), out};
}

TEST_F(CliTest, FingerprintsAgreeWithXxhsumAndVerifyTellsDamageFromChange) {
  if (Shell("command -v xxhsum").first != 0) GTEST_SKIP() << "xxhsum is not installed";
  const std::string disk = File("disk");
  std::filesystem::create_directories(disk + "/sub");
  std::ofstream(disk + "/a.txt") << "hello";
  std::ofstream(disk + "/sub/b bin") << std::string(300000, 'b');
  std::ofstream(disk + "/gone.txt") << "g";
  // "\\" is a character of names here, a separator to the Windows program.
  const bool windowsProgram = std::string(QUARRIX_CLI_PATH).find("wine") != std::string::npos;
  if (!windowsProgram) std::ofstream(disk + "/back\\slash") << "x";
  ASSERT_EQ(Run({"add", m_strSet, "Disk", disk, "--quiet", "--hash"}).nStatus, 0);

  CRun run = Run({"find", m_strSet, "--name", "a.txt", "--json"});
  const std::string expected = Shell("xxhsum -H2 '" + disk + "/a.txt'").second.substr(0, 32);
  EXPECT_EQ(nlohmann::json::parse(run.strOut)["xxh128"], expected) << run.strOut;
  run = Run({"hashes", m_strSet, "Disk"}, "UTC", File("sums.txt"));
  ASSERT_EQ(run.nStatus, 0) << run.strErr;
  const auto [checked, said] = Shell("cd '" + disk + "' && xxhsum -c '" + File("sums.txt") + "' 2>&1");
  EXPECT_EQ(checked, 0) << said;
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), windowsProgram ? 3 : 4) << said;
  EXPECT_EQ(Run({"verify", m_strSet, "Disk", "--quiet"}).nStatus, 0);

  // Rewritten with its time put back: only the fingerprint can tell.
  struct stat facts;
  ASSERT_EQ(stat((disk + "/a.txt").c_str(), &facts), 0);
  std::ofstream(disk + "/a.txt") << "jello";
  const struct timespec times[2] = {facts.st_atim, facts.st_mtim};
  ASSERT_EQ(utimensat(AT_FDCWD, (disk + "/a.txt").c_str(), times, 0), 0);
  std::filesystem::remove(disk + "/gone.txt");
  std::ofstream(disk + "/new.txt") << "n";
  std::ofstream(disk + "/sub/b bin", std::ios::app) << "more";
  const std::string before = ReadAll(m_strSet);
  run = Run({"verify", m_strSet, "Disk", "--quiet"});
  EXPECT_EQ(run.nStatus, 5) << run.strOut << run.strErr;
  for (const char* line : {"壊れている\tDisk\\a.txt\n", "見つからない\tDisk\\gone.txt\n", "新しい\tDisk\\new.txt\n",
                           "変更された\tDisk\\sub\\b bin\n"})
    EXPECT_TRUE(Has(run.strOut, line)) << line << run.strOut;
  const auto json = nlohmann::json::parse(Run({"verify", m_strSet, "Disk", "--json", "--quiet"}).strOut);
  EXPECT_EQ(json["counts"]["corrupt"], 1);
  EXPECT_EQ(ReadAll(m_strSet), before);  // verify never writes

  // Another writer dropped the block: size and time are all there is to go by.
  std::ofstream(m_strSet, std::ios::binary | std::ios::trunc) << before.substr(0, before.rfind("QRXB"));
  run = Run({"verify", m_strSet, "Disk", "--quiet"});
  EXPECT_EQ(run.nStatus, 1) << run.strOut << run.strErr;
  EXPECT_FALSE(Has(run.strOut, "壊れている\t")) << run.strOut;
  EXPECT_TRUE(Has(run.strErr, "サイズと更新日時だけで検証しました")) << run.strErr;
}

}  // namespace

namespace {

// A catalog of files (name, size) with a fingerprint each, the fingerprint
// being the name of the content.
std::unique_ptr<CDriveFileInfo> HashedCatalog(const std::string& label,
                                              const std::vector<std::tuple<std::string, std::uint64_t, int>>& files) {
  auto catalog = std::make_unique<CDriveFileInfo>(label, "/media/" + label, CMediumFacts{"PC", "HDD", 0, 1});
  std::vector<std::pair<std::uint32_t, CFingerprint>> fingerprints;
  CFolderFileInfo* folder = AddFolder(*catalog, "d");
  for (const auto& [name, size, content] : files) {
    const bool inside = name.rfind("d/", 0) == 0;
    Add(inside ? *folder : static_cast<CFolderFileInfo&>(*catalog), inside ? name.substr(2) : name, 0x20, size,
        946684800);
    fingerprints.emplace_back(std::uint32_t(fingerprints.size() + 2), CFingerprint{std::uint64_t(content), 0});
  }
  catalog->m_fingerprints.Add(std::move(fingerprints));
  return catalog;
}

TEST_F(CliTest, CopiesAndDupesAcrossSets) {
  CRootFileInfo first("first"), second("second");
  // Offsets: d is 1, then the files in order (those in d first).
  first.AppendCatalog(HashedCatalog("Disk", {{"d/inside.txt", 19, 1},
                                             {"inside-copy.txt", 19, 1},
                                             {"only.txt", 9, 2},
                                             {"shared.txt", 6, 3},
                                             {"empty.txt", 0, 4}}),
                      0);
  second.AppendCatalog(HashedCatalog("Other", {{"renamed.txt", 6, 3}, {"empty.txt", 0, 4}}), 0);
  const std::string other = File("second.fcf");
  ASSERT_EQ(WriteSetFile(m_strSet, first), ESetFileError::None);
  ASSERT_EQ(WriteSetFile(other, second), ESetFileError::None);

  CRun run = Run({"copies", m_strSet, other, "--catalog", "Disk"});
  EXPECT_EQ(run.nStatus, 0) << run.strErr;
  for (const char* line : {"1\twork.fcf: Disk\\only.txt\n", "1\twork.fcf: Disk\\d\\inside.txt\n",
                           "1\twork.fcf: Disk\\inside-copy.txt\n", "work.fcf: Disk\t3\t47\t"})
    EXPECT_TRUE(Has(run.strOut, line)) << line << run.strOut;
  EXPECT_FALSE(Has(run.strOut, "shared.txt")) << run.strOut;
  EXPECT_FALSE(Has(run.strOut, "empty.txt")) << run.strOut;

  run = Run({"dupes", m_strSet, other, "--json"});
  EXPECT_EQ(run.nStatus, 0) << run.strErr;
  const auto groups = nlohmann::json::parse(run.strOut);
  ASSERT_EQ(groups.size(), 2u) << run.strOut;
  EXPECT_EQ(groups[0]["waste"], 19);  // the larger waste first
  EXPECT_EQ(groups[1]["members"][1], "second.fcf: Other\\renamed.txt");
  EXPECT_EQ(Run({"dupes", other}).nStatus, 1);

  run = Run({"find", m_strSet, other, "--name", "*.txt"});
  EXPECT_TRUE(Has(run.strOut, "second.fcf: Other\\renamed.txt\n")) << run.strOut;
  EXPECT_EQ(Run({"copies", m_strSet, "--by", "colour"}).nStatus, 2);
}

// A byte flipped in one catalog's fingerprints: the commands that save
// refuse to lose them unless asked, and then keep the other catalog's.
TEST_F(CliTest, ASaveDropsDamagedRecordsOnlyWhenAsked) {
  CRootFileInfo set("set");
  set.AppendCatalog(HashedCatalog("Disk", {{"a.txt", 5, 1}, {"b.txt", 6, 2}}), 0);
  set.AppendCatalog(HashedCatalog("Other", {{"c.txt", 7, 3}}), 0);
  ASSERT_EQ(WriteSetFile(m_strSet, set), ESetFileError::None);
  std::string damaged = ReadAll(m_strSet);
  const std::size_t first = damaged.rfind("QRXB") + 48;  // Disk's fingerprints
  ASSERT_EQ(damaged[first], '\x03');
  damaged[first + 28 + 4] ^= 1;
  std::ofstream(m_strSet, std::ios::binary | std::ios::trunc) << damaged;

  for (const CArgs& args : {CArgs{"note", m_strSet, "--text", "x", "Other"}, CArgs{"copy", m_strSet, File("copy.fcf")},
                            CArgs{"add", m_strSet, "New", m_strDir}}) {
    const CRun run = Run(args);
    EXPECT_EQ(run.nStatus, 4) << args[0];
    EXPECT_TRUE(Has(run.strErr, "読めない記録 1 件、読めた記録 1 件")) << run.strErr;
    EXPECT_TRUE(Has(run.strErr, "保存しませんでした: " + args[args[0] == "copy" ? 2 : 1])) << run.strErr;
    EXPECT_TRUE(Has(run.strErr, "--drop-damaged-records を指定してください")) << run.strErr;
    EXPECT_EQ(ReadAll(m_strSet), damaged) << args[0];
  }
  EXPECT_FALSE(std::filesystem::exists(File("copy.fcf")));
  EXPECT_EQ(Run({"ls", m_strSet}).nStatus, 0);  // reading is not refused
  EXPECT_EQ(Run({"ls", m_strSet, "--drop-damaged-records"}).nStatus, 2);
  EXPECT_TRUE(Has(Run({"help", "note"}).strOut, "--drop-damaged-records"));

  const CRun run = Run({"note", m_strSet, "--text", "x", "--drop-damaged-records", "Other"});
  EXPECT_EQ(run.nStatus, 0) << run.strErr;
  std::unique_ptr<CRootFileInfo> saved;
  ASSERT_EQ(ReadSetFile(m_strSet, saved), ESetFileError::None);
  EXPECT_EQ(saved->m_extensionState, EExtensionState::Loaded);
  EXPECT_TRUE(static_cast<const CDriveFileInfo&>(*saved->Children()[0]).m_fingerprints.Empty());
  EXPECT_EQ(static_cast<const CDriveFileInfo&>(*saved->Children()[1]).m_fingerprints.Size(), 1u);
  std::string note;
  saved->GetNote("Other", note);
  EXPECT_EQ(note, "x");
}

// A set named twice, its byte copy, and its copy re-saved by a writer that
// drops the block are all one medium: each file has one copy, and no file is
// its own duplicate. The catalog's identity survives copy and update.
TEST_F(CliTest, OneMediumIsOneMediumInCopiesAndDupes) {
  const std::string disk = File("disk"), copy = File("copy.fcf"), resaved = File("resaved.fcf");
  std::filesystem::create_directories(disk);
  std::ofstream(disk + "/a.txt") << "alpha";
  std::ofstream(disk + "/b.txt") << "bravo";
  ASSERT_EQ(Run({"add", m_strSet, "Disk", disk, "--hash", "--quiet"}).nStatus, 0);
  const auto idOf = [&](const std::string& set) {
    const auto info = nlohmann::json::parse(Run({"info", set, "Disk"}).strOut);
    return info["record"].is_object() ? info["record"]["catalog_id"].get<std::string>() : std::string();
  };
  const std::string id = idOf(m_strSet);
  EXPECT_EQ(id.size(), 32u) << id;
  ASSERT_EQ(Run({"copy", m_strSet, copy}).nStatus, 0);
  EXPECT_EQ(idOf(copy), id);
  std::ofstream(resaved, std::ios::binary) << WithoutBlock(ReadAll(m_strSet));
  EXPECT_EQ(idOf(resaved), "");

  for (const std::string& other : {m_strSet, copy, resaved}) {
    CRun run = Run({"copies", m_strSet, other, "--json"});
    EXPECT_EQ(run.nStatus, 0) << run.strErr;
    const auto files = nlohmann::json::parse(run.strOut)["files"];
    EXPECT_EQ(files.size(), other == m_strSet ? 2u : 4u) << run.strOut;
    for (const auto& file : files) EXPECT_EQ(file["copies"], 1) << other << run.strOut;
    EXPECT_EQ(Has(run.strErr, "同じカタログセットが 2 回指定されています"), other == m_strSet) << run.strErr;
    run = Run({"dupes", m_strSet, other});
    EXPECT_EQ(run.nStatus, 1) << other << run.strOut;
  }

  std::ofstream(disk + "/a.txt") << "alpha, changed";
  ASSERT_EQ(Run({"update", m_strSet, "Disk", "--quiet"}).nStatus, 0);
  EXPECT_EQ(idOf(m_strSet), id);
}

}  // namespace

namespace {

// Names that end in a dot or a space are legal on Linux shares; Windows'
// path rules would strip the end and walk the other folder.
TEST_F(CliTest, FolderNamesEndingInADotOrASpaceAreWalkedAsThemselves) {
  const std::string disk = File("share");
  std::filesystem::create_directories(disk + "/apache.");
  std::filesystem::create_directories(disk + "/apache");
  std::filesystem::create_directories(disk + "/space ");
  std::ofstream(disk + "/apache./in-dot.txt") << "d";
  std::ofstream(disk + "/apache/plain.txt") << "p";
  std::ofstream(disk + "/space /in-space.txt") << "s";
  ASSERT_EQ(Run({"add", m_strSet, "Share", disk, "--quiet"}).nStatus, 0);
  EXPECT_TRUE(Has(Run({"ls", m_strSet, "Share\\apache."}).strOut, "in-dot.txt\t"));
  EXPECT_TRUE(Has(Run({"ls", m_strSet, "Share\\apache"}).strOut, "plain.txt\t"));
  EXPECT_TRUE(Has(Run({"ls", m_strSet, "Share\\space "}).strOut, "in-space.txt\t"));
}

}  // namespace

TEST_F(CliTest, ArchivesAreListedToTheDepthAskedAndTheirMembersFoundAndKeptAcrossUpdates) {
  const char* fixtures = std::getenv("QUARRIX_ARCHIVE_FIXTURES");
  if (fixtures == nullptr || !std::filesystem::exists(std::string(fixtures) + "/.done"))
    GTEST_SKIP() << "no archive fixtures";
  const std::string disk = File("disk");
  std::filesystem::create_directories(disk);
  for (const char* name : {"sjis.zip", "nested.zip", "broken.zip"})
    std::filesystem::copy_file(std::string(fixtures) + "/" + name, disk + "/" + name);
  EXPECT_EQ(Run({"add", m_strSet, "Disk", disk, "--archive-depth", "9"}).nStatus, 2);
  ASSERT_EQ(Run({"add", m_strSet, "Disk", disk, "--quiet", "--archive-depth", "2"}).nStatus, 0);

  EXPECT_TRUE(Has(Run({"ls", m_strSet, "Disk\\sjis.zip"}).strOut, "日本語.txt\t"));
  CRun run = Run({"find", m_strSet, "--name", "readme.txt", "--from", "Disk\\nested.zip", "--json"});
  const auto found = nlohmann::json::parse(run.strOut);
  EXPECT_EQ(found["path"], "Disk\\nested.zip\\inner.zip\\sub\\readme.txt");
  EXPECT_EQ(found["in_archive"], true);
  EXPECT_TRUE(Has(Run({"info", m_strSet, "Disk\\broken.zip"}).strOut, "壊れているため途中まで"));

  ASSERT_EQ(Run({"note", m_strSet, "--text", "メモ", "Disk\\sjis.zip\\日本語.txt"}).nStatus, 0);
  std::filesystem::remove(disk + "/sjis.zip");
  std::filesystem::copy_file(std::string(fixtures) + "/utf8.zip", disk + "/sjis.zip");
  ASSERT_EQ(Run({"update", m_strSet, "Disk", "--quiet"}).nStatus, 0);
  EXPECT_EQ(Run({"find", m_strSet, "--note", "メモ"}).strOut, "Disk\\sjis.zip\\日本語.txt\n");
  EXPECT_TRUE(Has(Run({"ls", m_strSet, "Disk\\sjis.zip\\sub"}).strOut, "readme.txt\t"));

  // The report leaves members out unless asked.
  const std::string plain = Cp932ToUtf8(Run({"report", m_strSet, "-"}).strOut);
  const std::string full = Cp932ToUtf8(Run({"report", m_strSet, "-", "--members"}).strOut);
  EXPECT_FALSE(Has(plain, "●アーカイブ Disk\\sjis.zip"));
  EXPECT_TRUE(Has(full, "●アーカイブ Disk\\sjis.zip")) << full;
}

namespace {

bool WindowsProgram() { return std::string(QUARRIX_CLI_PATH).find("wine") != std::string::npos; }

TEST_F(CliTest, ALinkToAnotherDisksFileIsNoCopyAndVerifyTellsAFileBecomeOne) {
  if (WindowsProgram()) GTEST_SKIP() << "the system under the Windows program follows links";
  const std::string a = File("a"), b = File("b");
  std::filesystem::create_directories(a);
  std::filesystem::create_directories(b);
  std::ofstream(a + "/photo.jpg") << "pixels";
  std::ofstream(b + "/own.txt") << "own";
  std::ofstream(b + "/two\nlines") << "2";
  // As a deduplicating tool leaves it: B's photo is a link to A's.
  std::filesystem::create_symlink(a + "/photo.jpg", b + "/photo.jpg");
  ASSERT_EQ(Run({"add", m_strSet, "A", a, "--quiet", "--hash"}).nStatus, 0);
  ASSERT_EQ(Run({"add", m_strSet, "B", b, "--quiet", "--hash"}).nStatus, 0);

  EXPECT_EQ(Run({"dupes", m_strSet}).nStatus, 1);
  EXPECT_TRUE(Has(Run({"ls", m_strSet, "B"}).strOut, "photo.jpg\t")) << "the link is catalogued";
  // The link has no fingerprint; the name no checksum file can hold is
  // named, and the output is not passed off as whole.
  CRun run = Run({"hashes", m_strSet, "B"});
  EXPECT_EQ(run.nStatus, 1);
  EXPECT_FALSE(Has(run.strOut, "photo.jpg")) << run.strOut;
  EXPECT_TRUE(Has(run.strOut, "  own.txt\n")) << run.strOut;
  EXPECT_TRUE(Has(run.strErr, "B\\two\xEF\xBF\xBDlines")) << run.strErr;
  EXPECT_EQ(Run({"verify", m_strSet, "B", "--quiet"}).nStatus, 0);

  std::filesystem::remove(b + "/own.txt");
  std::filesystem::create_symlink(a + "/photo.jpg", b + "/own.txt");
  run = Run({"verify", m_strSet, "B", "--quiet"});
  EXPECT_EQ(run.nStatus, 1) << run.strErr;
  EXPECT_EQ(run.strOut.rfind("変更された\tB\\own.txt\n", 0), 0u) << run.strOut;
}

TEST_F(CliTest, VerifyOfAnotherMediumAdvisesWhatItAccepts) {
  const std::string disk = File("disk");
  std::filesystem::create_directories(disk);
  std::ofstream(disk + "/a.txt") << "a";
  CRootFileInfo set("s");
  auto catalog = std::make_unique<CDriveFileInfo>("Other", disk, CMediumFacts{"PC", "HDD", 0, 1});
  catalog->m_record.emplace();
  catalog->m_record->medium.strId = "not-this-medium";
  set.AppendCatalog(std::move(catalog), 946684800);
  ASSERT_EQ(WriteSetFile(m_strSet, set), ESetFileError::None);

  CRun run = Run({"verify", m_strSet, "Other", "--quiet"});
  EXPECT_EQ(run.nStatus, 4);
  EXPECT_TRUE(Has(run.strErr, "別のメディア")) << run.strErr;
  EXPECT_TRUE(Has(run.strErr, "--force")) << run.strErr;
  run = Run({"verify", m_strSet, "Other", "--quiet", "--force"});
  EXPECT_EQ(run.nStatus, 1) << run.strErr;
  EXPECT_TRUE(Has(run.strOut, "新しい\tOther\\a.txt\n")) << run.strOut;

  // Each command's help gives the exit statuses all share, and its own.
  const CRun verify = Run({"verify", "--help"}), find = Run({"find", "--help"}), hashes = Run({"help", "hashes"});
  EXPECT_TRUE(Has(verify.strOut, "\n終了コード:") && Has(verify.strOut, "verify の終了コード:")) << verify.strOut;
  EXPECT_TRUE(Has(verify.strOut, "[--force]")) << verify.strOut;
  EXPECT_TRUE(Has(find.strOut, "\n終了コード:")) << find.strOut;
  EXPECT_FALSE(Has(find.strOut, "の終了コード")) << find.strOut;
  EXPECT_TRUE(Has(hashes.strOut, "hashes の終了コード:") && !Has(hashes.strOut, "verify の")) << hashes.strOut;
}

}  // namespace
