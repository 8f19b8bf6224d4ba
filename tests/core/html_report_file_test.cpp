// One small report compared byte for byte with the file it must be.

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>

#include "model/text_format.h"
#include "platform/cp932_codec.h"
#include "platform/mime_type_names.h"
#include "tests/core/test_util.h"

namespace {

// No type names known: every kind is the extension's own ("txt ﾌｧｲﾙ").
class CNoTypeNames : public CTypeNameSource {
 public:
  std::string TypeName(const std::string&, bool isFolder) override { return isFolder ? "フォルダ" : ""; }
};

class HtmlReportFileTest : public ::testing::Test {
 protected:
  void SetUp() override { SetTypeNameSource(std::make_unique<CNoTypeNames>()); }
  void TearDown() override { SetTypeNameSource(nullptr); }

  CScopedTimeZone m_tz{"UTC"};
  CTempDir m_dir;
};

}  // namespace

TEST_F(HtmlReportFileTest, ASmallSetIsWrittenExactly) {
  CRootFileInfo set("work カタログセット");
  CDriveFileInfo* cd = set.AppendCatalog(MakeCatalog("CD1"), 0);
  // 2001-09-09 01:46:40 UTC in 100 ns units since 1601.
  const std::uint64_t time = (1000000000ULL + 11644473600ULL) * 10000000ULL;
  const CFindData b = FileRecord("b.txt", 2048, time), a = FileRecord("a&b.txt", 1, time);
  cd->AddChild(&b)->SetNoteText("メモ");
  cd->AddChild(&a);
  const CFindData photosRecord = FolderRecord("photos");
  auto* photos = static_cast<CFolderFileInfo*>(cd->AddChild(&photosRecord));
  const CFindData p = FileRecord("p.jpg", 10, time);
  photos->AddChild(&p)->SetNoteText("café");
  const CFindData emptyRecord = FolderRecord("empty");
  cd->AddChild(&emptyRecord);
  set.AppendCatalog(MakeCatalog("CD2"), 0);

  const std::string path = m_dir.File("report.htm");
  ASSERT_TRUE(set.WriteHtmlReport(path, nullptr, CatalogOutOptions()));
  std::string expected;
  ASSERT_TRUE(
      Utf8ToCp932("<html><head>\r\n"
                  "\t\t\t\t<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\r\n"
                  "\t\t\t\t<meta name=\"GENERATOR\" content=\"Quarrix\">\r\n"
                  "\t\t\t\t<title>work カタログセットのカタログ情報</title>\r\n"
                  "\t\t\t\t</head>\r\n"
                  "\t\t\t\t<body bgcolor=\"#FFFFFF\">\r\n"
                  "\t\t\t\t<h1>work カタログセットのカタログ情報</h1>\r\n"
                  "<table border=\"1\">\r\n"
                  "<tr>\r\n"
                  "<td>カタログセット名</td>\r\n"
                  "<td>work カタログセット</td>\r\n"
                  "</tr>\r\n"
                  "<tr>\r\n"
                  "<td>作成日時</td>\r\n"
                  "<td>1970/01/01 00:00:00</td>\r\n"
                  "</tr>\r\n"
                  "<tr>\r\n"
                  "<td>カタログの個数</td>\r\n"
                  "<td>2</td>\r\n"
                  "</tr>\r\n"
                  "<tr>\r\n"
                  "<td valign=\"top\" rowspan=\"2\">カタログ一覧</td>\r\n"
                  "\t\t\t\t\t\t\t\t <td>CD1</td>\r\n"
                  "</tr>\r\n"
                  "<tr>\r\n"
                  "<td>CD2</td>\r\n"
                  "</tr>\r\n"
                  "</table>\r\n"
                  "<hr>\r\n"
                  "<h2>1. CD1 カタログ</h2>\r\n"
                  "<table border=\"1\">\r\n"
                  "<tr>\r\n"
                  "<td>マシン名</td>\r\n"
                  "<td width=\"300\">host</td></tr>\r\n"
                  "<tr>\r\n"
                  "<td>メディアの種類</td>\r\n"
                  "<td width=\"300\">固定ディスク</td></tr>\r\n"
                  "<tr>\r\n"
                  "<td>カタログ化されたパス</td>\r\n"
                  "<td width=\"300\">/data/CD1</td></tr>\r\n"
                  "<tr>\r\n"
                  "<td>作成日時</td>\r\n"
                  "<td width=\"300\">1970/01/01 00:00:00</td></tr>\r\n"
                  "<tr>\r\n"
                  "<td>カタログの合計サイズ</td>\r\n"
                  "<td width=\"300\">2,059バイト</td></tr>\r\n"
                  "<tr>\r\n"
                  "<td>メディアの合計サイズ</td>\r\n"
                  "<td width=\"300\">5,000,000,000バイト</td></tr>\r\n"
                  "<tr>\r\n"
                  "<td>メディアの空き領域</td>\r\n"
                  "<td width=\"300\">1,000バイト</td></tr>\r\n"
                  "</table>\r\n"
                  "<h4>このフォルダに含まれるファイル情報：</h4>\r\n"
                  "<table border=\"1\">\r\n"
                  "<tr>\r\n"
                  "<td width=\"150\">名前</td>"
                  "<td width=\"100\">種類</td>"
                  "<td width=\"70\">サイズ</td>"
                  "<td width=\"100\">作成日時</td>"
                  "<td width=\"100\">更新日時</td>"
                  "<td width=\"100\">属性</td>"
                  "<td width=\"200\">ノート</td></tr>\r\n"
                  "<tr>\r\n"
                  "<td width=\"150\">a&amp;b.txt</td>"
                  "<td width=\"100\">txt ﾌｧｲﾙ</td>"
                  "<td width=\"70\">1バイト</td>"
                  "<td width=\"100\">2001/09/09 01:46:40</td>"
                  "<td width=\"100\">2001/09/09 01:46:40</td>"
                  "<td width=\"100\">アーカイブ</td>"
                  "<td width=\"200\">　</td></tr>\r\n"
                  "<tr>\r\n"
                  "<td width=\"150\">b.txt</td>"
                  "<td width=\"100\">txt ﾌｧｲﾙ</td>"
                  "<td width=\"70\">2,048バイト</td>"
                  "<td width=\"100\">2001/09/09 01:46:40</td>"
                  "<td width=\"100\">2001/09/09 01:46:40</td>"
                  "<td width=\"100\">アーカイブ</td>"
                  "<td width=\"200\">メモ</td></tr>\r\n"
                  "</table>\r\n"
                  "<h3>●フォルダ CD1\\empty</h3><table border=\"1\">\r\n"
                  "<tr>\r\n"
                  "<td>作成日時</td>\r\n"
                  "<td width=\"200\">1970/01/01 00:00:00</td></tr>\r\n"
                  "<tr>\r\n"
                  "<td>属性</td>\r\n"
                  "<td width=\"200\">　</td></tr>\r\n"
                  "<tr>\r\n"
                  "<td>ノート</td>\r\n"
                  "<td width=\"200\">　</td></tr>\r\n"
                  "</table>\r\n"
                  "<h3>●フォルダ CD1\\photos</h3><table border=\"1\">\r\n"
                  "<tr>\r\n"
                  "<td>作成日時</td>\r\n"
                  "<td width=\"200\">1970/01/01 00:00:00</td></tr>\r\n"
                  "<tr>\r\n"
                  "<td>属性</td>\r\n"
                  "<td width=\"200\">　</td></tr>\r\n"
                  "<tr>\r\n"
                  "<td>ノート</td>\r\n"
                  "<td width=\"200\">　</td></tr>\r\n"
                  "</table>\r\n"
                  "<h4>このフォルダに含まれるファイル情報：</h4>\r\n"
                  "<table border=\"1\">\r\n"
                  "<tr>\r\n"
                  "<td width=\"150\">名前</td>"
                  "<td width=\"100\">種類</td>"
                  "<td width=\"70\">サイズ</td>"
                  "<td width=\"100\">作成日時</td>"
                  "<td width=\"100\">更新日時</td>"
                  "<td width=\"100\">属性</td>"
                  "<td width=\"200\">ノート</td></tr>\r\n"
                  "<tr>\r\n"
                  "<td width=\"150\">p.jpg</td>"
                  "<td width=\"100\">jpg ﾌｧｲﾙ</td>"
                  "<td width=\"70\">10バイト</td>"
                  "<td width=\"100\">2001/09/09 01:46:40</td>"
                  "<td width=\"100\">2001/09/09 01:46:40</td>"
                  "<td width=\"100\">アーカイブ</td>"
                  "<td width=\"200\">caf&#233;</td></tr>\r\n"
                  "</table>\r\n"
                  "<hr>\r\n"
                  "<h2>2. CD2 カタログ</h2>\r\n"
                  "<table border=\"1\">\r\n"
                  "<tr>\r\n"
                  "<td>マシン名</td>\r\n"
                  "<td width=\"300\">host</td></tr>\r\n"
                  "<tr>\r\n"
                  "<td>メディアの種類</td>\r\n"
                  "<td width=\"300\">固定ディスク</td></tr>\r\n"
                  "<tr>\r\n"
                  "<td>カタログ化されたパス</td>\r\n"
                  "<td width=\"300\">/data/CD2</td></tr>\r\n"
                  "<tr>\r\n"
                  "<td>作成日時</td>\r\n"
                  "<td width=\"300\">1970/01/01 00:00:00</td></tr>\r\n"
                  "<tr>\r\n"
                  "<td>カタログの合計サイズ</td>\r\n"
                  "<td width=\"300\">1バイト</td></tr>\r\n"
                  "<tr>\r\n"
                  "<td>メディアの合計サイズ</td>\r\n"
                  "<td width=\"300\">5,000,000,000バイト</td></tr>\r\n"
                  "<tr>\r\n"
                  "<td>メディアの空き領域</td>\r\n"
                  "<td width=\"300\">1,000バイト</td></tr>\r\n"
                  "</table>\r\n"
                  "</body>\r\n"
                  "</html>\r\n",
                  expected));
  EXPECT_EQ(ReadFileBytes(path), expected);
}

TEST_F(HtmlReportFileTest, ProgressCountsEveryItemAndCancelLeavesTheOldReport) {
  CRootFileInfo set("s");
  CDriveFileInfo* cd = set.AppendCatalog(MakeCatalog("CD1"), 0);
  const CFindData folderRecord = FolderRecord("f");
  auto* folder = static_cast<CFolderFileInfo*>(cd->AddChild(&folderRecord));
  for (int i = 0; i < 5; ++i) {
    const CFindData file = FileRecord("file" + std::to_string(i) + ".txt", 10);
    folder->AddChild(&file);
  }
  const std::string path = m_dir.File("report.htm");
  CWorkProgress progress;
  ASSERT_TRUE(set.WriteHtmlReport(path, nullptr, CatalogOutOptions(), nullptr, &progress));
  EXPECT_EQ(7u, progress.nTotal.load());  // the catalog, its folder and five files
  EXPECT_EQ(1000, progress.Permille());

  const std::string old = ReadFileBytes(path);
  std::atomic<bool> cancel{true};
  CWorkProgress cancelled;
  cancelled.pCancel = &cancel;
  EXPECT_FALSE(set.WriteHtmlReport(path, nullptr, CatalogOutOptions(), nullptr, &cancelled));
  EXPECT_EQ(old, ReadFileBytes(path));
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(m_dir.Path())) ++files;
  EXPECT_EQ(1u, files);
}
