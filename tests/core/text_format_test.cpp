#include <gtest/gtest.h>

#include "model/text_format.h"
#include "platform/cp932_codec.h"

TEST(FormatSize, KilobytesAndMegabytes) {
  EXPECT_EQ(FormatSize(0, false), "1KB");
  EXPECT_EQ(FormatSize(1023, false), "1KB");
  EXPECT_EQ(FormatSize(2047, false), "1KB");
  EXPECT_EQ(FormatSize(2048, false), "2KB");
  EXPECT_EQ(FormatSize(1048575, false), "1,023KB");
  EXPECT_EQ(FormatSize(1048576, false), "1MB");
  EXPECT_EQ(FormatSize(3500000000ULL, false), "3,337MB");
  EXPECT_EQ(FormatSize(UINT64_MAX, false), "17,592,186,044,415MB");
}

TEST(FormatSize, Bytes) {
  EXPECT_EQ(FormatSize(0, true), "1バイト");
  EXPECT_EQ(FormatSize(999, true), "999バイト");
  EXPECT_EQ(FormatSize(1000, true), "1,000バイト");
  EXPECT_EQ(FormatSize(1234567, true), "1,234,567バイト");
}

TEST(FormatAttributes, WordsInFixedOrder) {
  EXPECT_EQ(FormatAttributes(0), "");
  EXPECT_EQ(FormatAttributes(0x10), "");
  EXPECT_EQ(FormatAttributes(0x21), "読み取り専用・アーカイブ");
  EXPECT_EQ(FormatAttributes(0x27), "読み取り専用・隠しファイル・アーカイブ・システム");
  EXPECT_EQ(FormatAttributes(0x4 | 0x400), "システム");
}

TEST(DisplayName, EscapedBytesShowAsHexInGuillemetsAndTypedFormFindsThem) {
  // "café.txt" read from Latin-1: the é was byte E9, kept as U+EFE9.
  const std::string stored = EscapeBytes("caf\xE9\xFF.txt", false);
  EXPECT_EQ(DisplayName(stored), "caf«E9»«FF».txt");
  EXPECT_EQ(DisplayName("写真\\img.jpg"), "写真\\img.jpg");  // text stays as it is
  // What the user types back (hex in either case) is the stored name again;
  // a form that names no byte stays text.
  EXPECT_EQ(NameFromDisplay("caf«e9»«FF».txt"), stored);
  EXPECT_EQ(NameFromDisplay("«G1»«E»«"), "«G1»«E»«");
}
