#include "platform/mime_type_names.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class MimeTypeNames : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "quarrix-mime-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    m_pathDir = pattern;
    Write("globs2",
          "# generated\n"
          "50:text/plain:*.txt\n"
          "50:text/x-csrc:*.c:cs\n"
          "50:text/x-c++src:*.C:cs\n"
          "50:text/x-c++src:*.C\n"
          "50:text/x-csrc:*.c\n"
          "50:application/gzip:*.gz\n"
          "50:application/x-compressed-tar:*.tar.gz\n"
          "40:application/x-low:*.zzz\n"
          "60:application/x-high:*.zzz\n"
          "50:text/x-makefile:makefile\n"
          "10:text/x-readme:readme*\n"
          "50:application/x-troff-man:*.[1-9]\n"
          "50:application/x-no-description:*.nod\n"
          "50:application/octet-stream:*.bin\n"
          "50:../../etc/passwd:*.evil\n"
          "garbage line\n");
    WriteType("text/plain",
              "<comment>plain text document</comment>\n"
              "<comment xml:lang=\"fr\">document texte</comment>\n"
              "<comment xml:lang=\"ja\">テキスト &amp; 文書</comment>\n");
    WriteType("text/x-csrc",
              "<comment xml:lang=\"en_GB\">C source (GB)</comment>\n"
              "<comment> C source code\n</comment>\n");
    WriteType("text/x-c++src", "<comment xml:lang='ja'>C++ ソース &lt;src&gt;</comment>\n");
    WriteType("application/x-compressed-tar", "<comment>Tar archive (gzip-compressed)</comment>\n");
    WriteType("application/gzip", "<comment>Gzip archive</comment>\n");
    WriteType("application/x-high", "<comment>high</comment>\n");
    WriteType("application/x-low", "<comment>low</comment>\n");
    WriteType("application/x-troff-man", "<comment>&quot;man&quot; &apos;page&apos;</comment>\n");
    WriteType("application/octet-stream", "<comment>unknown</comment>\n");
    WriteType("inode/directory", "<comment>folder</comment><comment xml:lang=\"ja\">フォルダー</comment>\n");
  }

  void TearDown() override {
    if (!m_pathDir.empty()) fs::remove_all(m_pathDir);
  }

  void Write(const std::string& relative, const std::string& text) {
    const fs::path path = m_pathDir / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }

  void WriteType(const std::string& type, const std::string& comments) {
    Write(type + ".xml",
          "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
          "<mime-type xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\" type=\"" +
              type + "\">\n" + comments + "<glob pattern=\"*.x\"/>\n</mime-type>\n");
  }

  fs::path m_pathDir;
};

TEST_F(MimeTypeNames, PrefersJapaneseCommentThenUntranslated) {
  CMimeTypeNameSource source(m_pathDir.string());
  EXPECT_EQ(source.TypeName(".txt", false), "テキスト & 文書");
  EXPECT_EQ(source.TypeName(".TXT", false), "テキスト & 文書");
  EXPECT_EQ(source.TypeName(".c", false), "C source code");
  EXPECT_EQ(source.TypeName(".tar.gz", false), "Tar archive (gzip-compressed)");
  EXPECT_EQ(source.TypeName(".7", false), "\"man\" 'page'");
  EXPECT_EQ(source.TypeName("", true), "フォルダー");
  EXPECT_EQ(source.TypeName(".txt", true), "フォルダー");
}

TEST_F(MimeTypeNames, ChoosesAmongMatchingGlobs) {
  CMimeTypeNameSource source(m_pathDir.string());
  EXPECT_EQ(source.MimeTypeForName("x.c"), "text/x-csrc");
  EXPECT_EQ(source.MimeTypeForName("x.C"), "text/x-c++src");  // the case-sensitive glob wins
  EXPECT_EQ(source.MimeTypeForName("x.zzz"), "application/x-high");
  EXPECT_EQ(source.MimeTypeForName("a.tar.gz"), "application/x-compressed-tar");
  EXPECT_EQ(source.MimeTypeForName("a.gz"), "application/gzip");
  EXPECT_EQ(source.MimeTypeForName("Makefile"), "text/x-makefile");
  EXPECT_EQ(source.MimeTypeForName("README.txt"), "text/plain");
  EXPECT_EQ(source.MimeTypeForName("README"), "text/x-readme");
  EXPECT_EQ(source.MimeTypeForName("x.12"), "");
}

TEST_F(MimeTypeNames, UnknownKindsHaveNoName) {
  CMimeTypeNameSource source(m_pathDir.string());
  EXPECT_EQ(source.TypeName("", false), "");
  EXPECT_EQ(source.TypeName(".unknown", false), "");
  EXPECT_EQ(source.TypeName(".nod", false), "");  // type without a description file
  EXPECT_EQ(source.TypeName(".bin", false), "");  // never the generic binary name
  EXPECT_EQ(source.TypeName(".evil", false), "");

  CMimeTypeNameSource missing((m_pathDir / "absent").string());
  EXPECT_EQ(missing.TypeName(".txt", false), "");
  EXPECT_EQ(missing.TypeName("", true), "");
}

TEST(MimeTypeNamesSystem, InstalledDatabaseNamesTextAndFolders) {
  if (!fs::exists("/usr/share/mime/globs2")) GTEST_SKIP() << "shared MIME database not installed";
  CMimeTypeNameSource source;
  EXPECT_FALSE(source.TypeName(".txt", false).empty());
  EXPECT_FALSE(source.TypeName("", true).empty());
}

}  // namespace
