#include <gtest/gtest.h>

#include "model/text_format.h"

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
