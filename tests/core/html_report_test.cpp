#include <gtest/gtest.h>

#include "platform/cp932_codec.h"
#include "tests/core/test_util.h"

namespace {

class HtmlReportTest : public ::testing::Test {
 protected:
  // The report as text, with CR LF turned back into LF.
  std::string Report(const std::vector<std::string>* catalogs = nullptr, CatalogOutOptions options = {}) {
    const std::string path = m_dir.File("report.htm");
    EXPECT_TRUE(m_set.WriteHtmlReport(path, catalogs, options));
    m_strBytes = ReadFileBytes(path);
    std::string text = Cp932ToUtf8(m_strBytes);
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i)
      if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return out;
  }

  CFolderFileInfo* AddCatalog(const std::string& label) { return m_set.AppendCatalog(MakeCatalog(label), 0); }
  static CFileInfo* Add(CFolderFileInfo& folder, const CFindData& record) { return folder.AddChild(&record); }

  CScopedTimeZone m_tz{"UTC"};
  CTempDir m_dir;
  CRootFileInfo m_set{"work カタログセット"};
  std::string m_strBytes;
};

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

}  // namespace

TEST_F(HtmlReportTest, EmptySet) {
  m_set.m_timeUpdated = 0;
  const std::string text = Report();
  EXPECT_EQ(text,
            "<html><head>\n\t\t\t\t<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\n"
            "\t\t\t\t<meta name=\"GENERATOR\" content=\"Quarrix\">\n"
            "\t\t\t\t<title>work カタログセットのカタログ情報</title>\n\t\t\t\t</head>\n"
            "\t\t\t\t<body bgcolor=\"#FFFFFF\">\n\t\t\t\t<h1>work カタログセットのカタログ情報</h1>\n"
            "<table border=\"1\">\n"
            "<tr>\n<td>カタログセット名</td>\n<td>work カタログセット</td>\n</tr>\n"
            "<tr>\n<td>作成日時</td>\n<td>1970/01/01 00:00:00</td>\n</tr>\n"
            "<tr>\n<td>カタログの個数</td>\n<td>0</td>\n</tr>\n"
            "</table>\n</body>\n</html>\n");
  EXPECT_NE(m_strBytes.find("</html>\r\n"), std::string::npos);
}

TEST_F(HtmlReportTest, CatalogSectionsFoldersAndFiles) {
  CFolderFileInfo* cd = AddCatalog("CD1");
  Add(*cd, FileRecord("a.txt", 2048));
  auto* photos = static_cast<CFolderFileInfo*>(Add(*cd, FolderRecord("photos")));
  Add(*photos, FileRecord("p.jpg", 10))->SetNoteText("海");
  AddCatalog("CD2");
  const std::string text = Report();

  EXPECT_NE(text.find("<tr>\n<td valign=\"top\" rowspan=\"2\">カタログ一覧</td>\n\t\t\t\t\t\t\t\t <td>CD1</td>\n</tr>\n"
                      "<tr>\n<td>CD2</td>\n</tr>\n</table>\n"),
            std::string::npos);
  EXPECT_NE(text.find("<hr>\n<h2>1. CD1 カタログ</h2>\n<table border=\"1\">\n<tr>\n<td>マシン名</td>\n"
                      "<td width=\"300\">host</td></tr>\n"),
            std::string::npos);
  EXPECT_NE(text.find("<td>カタログの合計サイズ</td>\n<td width=\"300\">2,058バイト</td></tr>"), std::string::npos);
  EXPECT_NE(text.find("<h4>このフォルダに含まれるファイル情報：</h4>\n<table border=\"1\">\n<tr>\n"
                      "<td width=\"150\">名前</td><td width=\"100\">種類</td><td width=\"70\">サイズ</td>"),
            std::string::npos);
  EXPECT_NE(text.find("<td width=\"150\">a.txt</td>"), std::string::npos);
  EXPECT_NE(text.find("<td width=\"70\">2,048バイト</td>"), std::string::npos);
  // The folder table follows its heading on the same line.
  EXPECT_NE(text.find("<h3>●フォルダ CD1\\photos</h3><table border=\"1\">\n<tr>\n<td>作成日時</td>\n"
                      "<td width=\"200\">"),
            std::string::npos);
  EXPECT_NE(text.find("<td width=\"200\">海</td></tr>"), std::string::npos);
  EXPECT_LT(text.find("a.txt"), text.find("●フォルダ CD1\\photos"));
  EXPECT_LT(text.find("●フォルダ CD1\\photos"), text.find("2. CD2 カタログ"));
  // Empty cells hold an ideographic space: the folder's note.
  EXPECT_NE(m_strBytes.find("<td width=\"200\">\x81\x40</td>"), std::string::npos);
}

TEST_F(HtmlReportTest, ChosenCatalogsAreNumberedFromOne) {
  AddCatalog("A");
  AddCatalog("B");
  AddCatalog("C");
  const std::vector<std::string> onlyB{"B"};
  std::string text = Report(&onlyB);
  EXPECT_NE(text.find("<h2>1. B カタログ</h2>"), std::string::npos);
  EXPECT_EQ(Count(text, "<h2>"), 1u);
  const std::vector<std::string> none;
  text = Report(&none);
  EXPECT_EQ(Count(text, "<h2>"), 0u);
  EXPECT_NE(text.find("<td>カタログの個数</td>\n<td>3</td>"), std::string::npos);
}

TEST_F(HtmlReportTest, ColumnsFollowTheOptions) {
  CFolderFileInfo* cd = AddCatalog("CD");
  Add(*cd, FileRecord("f", 1));
  auto* d = static_cast<CFolderFileInfo*>(Add(*cd, FolderRecord("d")));
  Add(*d, FileRecord("g", 1));
  CatalogOutOptions off;
  off.kind = off.size = off.createTime = off.modifiedTime = off.attribute = off.note = 0;
  std::string text = Report(nullptr, off);
  EXPECT_NE(text.find("<tr>\n<td width=\"150\">名前</td></tr>\n<tr>\n<td width=\"150\">f</td></tr>"),
            std::string::npos);
  EXPECT_NE(text.find("<h3>●フォルダ CD\\d</h3><h4>"), std::string::npos);
  EXPECT_EQ(Count(text, "<td>マシン名</td>"), 1u);

  CatalogOutOptions some = off;
  some.size = some.note = 1;
  text = Report(nullptr, some);
  EXPECT_NE(text.find("<td width=\"150\">名前</td><td width=\"70\">サイズ</td><td width=\"200\">ノート</td></tr>"),
            std::string::npos);
  EXPECT_NE(text.find("<h3>●フォルダ CD\\d</h3><table border=\"1\">\n<tr>\n<td>ノート</td>"), std::string::npos);
}

TEST_F(HtmlReportTest, NamesSortByCharacterCode) {
  CFolderFileInfo* cd = AddCatalog("CD");
  for (const char* name : {"b.txt", "a.txt", "z.txt", "あ", "ｱ", "é", "a.txt"}) Add(*cd, FileRecord(name, 1));
  Add(*cd, FolderRecord("alpha"));
  Add(*cd, FolderRecord("Beta"));
  const std::string text = Report();
  const std::size_t a = text.find(">a.txt<"), b = text.find(">b.txt<"), z = text.find(">z.txt<");
  const std::size_t kana = text.find(">ｱ<"), hira = text.find(">あ<"), accent = text.find(">&#233;<");
  EXPECT_TRUE(a < b && b < z && z < kana && kana < hira && hira < accent) << text;
  EXPECT_LT(text.find("●フォルダ CD\\Beta"), text.find("●フォルダ CD\\alpha"));
}

TEST_F(HtmlReportTest, TextFromTheSetIsEscapedAndNothingIsLost) {
  CFolderFileInfo* cd = AddCatalog("<b>&\"");
  Add(*cd, FileRecord("<script>alert(1)</script>.txt", 1))->SetNoteText("café ☃ 😀");
  const std::string text = Report();
  EXPECT_EQ(text.find("<script>"), std::string::npos);
  EXPECT_NE(text.find("&lt;script&gt;alert(1)&lt;/script&gt;.txt"), std::string::npos);
  EXPECT_NE(text.find("1. &lt;b&gt;&amp;&quot; カタログ"), std::string::npos);
  EXPECT_NE(text.find("caf&#233; &#9731; &#128512;"), std::string::npos);
  // A byte that is no text shows as the views show it.
  Add(*cd, FileRecord(EscapeBytes("caf\xE9.txt", false), 1));
  EXPECT_NE(Report().find(">caf&#171;E9&#187;.txt<"), std::string::npos);
}

TEST_F(HtmlReportTest, AFileThatCannotBeWrittenIsReportedAndCreatesNothing) {
  EXPECT_FALSE(m_set.WriteHtmlReport(m_dir.File("missing/report.htm"), nullptr, {}));
  EXPECT_FALSE(m_set.WriteHtmlReport(m_dir.Path(), nullptr, {}));
  EXPECT_EQ(system(("test -z \"$(ls -A '" + m_dir.Path() + "')\"").c_str()), 0);
}
