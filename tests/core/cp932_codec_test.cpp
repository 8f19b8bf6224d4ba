#include "platform/cp932_codec.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

namespace {

const std::string kFffd = "\xEF\xBF\xBD";

std::string Encode(std::string_view utf8) {
  std::string out;
  EXPECT_TRUE(Utf8ToCp932(utf8, out)) << utf8;
  return out;
}

TEST(Cp932Codec, JapaneseTextRoundTrips) {
  struct {
    const char* utf8;
    std::string cp932;
  } const cases[] = {
      {"漢字.txt", "\x8A\xBF\x8E\x9A.txt"},
      {"ｶﾀｶﾅﾞ", "\xB6\xC0\xB6\xC5\xDE"},
      // Trail byte 0x5C: must not be taken for a backslash.
      {"表\\ソ能", std::string("\x95\x5C\x5C\x83\x5C\x94\x5C")},
      {"C:\\~", "C:\\~"},
      {"ＡＢＣ αΩ Ёя", "\x82\x60\x82\x61\x82\x62 \x83\xBF\x83\xB6 \x84\x46\x84\x91"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Encode(c.utf8), c.cp932) << c.utf8;
    EXPECT_EQ(Cp932ToUtf8(c.cp932), c.utf8);
  }
}

TEST(Cp932Codec, DuplicatesEncodeAsACp932WriterDoes) {
  EXPECT_EQ(Encode("Ⅰ"), "\x87\x54");  // NEC row 13, not the IBM FA4A
  EXPECT_EQ(Encode("ⅰ"), "\xFA\x40");  // IBM, not the NEC-selected EEEF
  EXPECT_EQ(Encode("￢∵"), "\x81\xCA\x81\xE6");
  EXPECT_EQ(Cp932ToUtf8("\xED\x40\xFA\x5C\xFB\xFC"), Cp932ToUtf8("\xFA\x5C\xFA\x5C\xFB\xFC"));
}

TEST(Cp932Codec, InvalidBytesDecodeToReplacementAndResume) {
  EXPECT_EQ(Cp932ToUtf8("a\x8A"), "a" + kFffd);  // lone lead at end
  EXPECT_EQ(Cp932ToUtf8("\x8A\x20"
                        "b"),
            kFffd + " b");                               // trail below range
  EXPECT_EQ(Cp932ToUtf8("\x85\x5C"), kFffd + "\\");      // unassigned pair keeps its 0x5C
  EXPECT_EQ(Cp932ToUtf8("\x85\x8A\xBF"), kFffd + "漢");  // resume at the next byte
  EXPECT_EQ(Cp932ToUtf8("\x80\xA0\xFD\xFE\xFF"), kFffd + kFffd + kFffd + kFffd + kFffd);
  EXPECT_EQ(Cp932ToUtf8(std::string("x\0y", 3)), std::string("x\0y", 3));
}

TEST(Cp932Codec, UnencodableTextFails) {
  std::string out;
  // U+00A5 and U+301C only have one-way mappings to 0x5C and 0x8160.
  for (const char* text : {"é", "😀", "\xEF\xBF\xBD", "¥", "〜", "¬", "a\xFF", "\xC0\x80", "\xED\xA0\x80"})
    EXPECT_FALSE(Utf8ToCp932(text, out)) << text;
  for (char32_t cp : {U'é', U'\U0001F600', U'\uFFFD', U'¥', U'〜', U'\U000E0001'})
    EXPECT_FALSE(IsCp932Char(cp)) << std::hex << cp;
  EXPECT_TRUE(IsCp932Char(U'～'));
  EXPECT_FALSE(Utf8ToCp932("漢é字", out));
  EXPECT_EQ(out, "\x8A\xBF?\x8E\x9A");
  EXPECT_TRUE(Utf8ToCp932("ok", out));
  EXPECT_EQ(out, "ok");
}

// Every double-byte code agrees with iconv, and re-encoding gives the same
// character back (through its preferred code when it has duplicates).
TEST(Cp932Codec, DoubleByteTableIsExhaustiveAndStable) {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
  int valid = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (lead >= 0xA0 && lead < 0xE0) continue;
    for (int trail = 0x00; trail <= 0xFF; ++trail) {
      const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
      char in[2] = {bytes[0], bytes[1]};
      char buf[16];
      char* pIn = in;
      char* pOut = buf;
      std::size_t inLeft = 2, outLeft = sizeof buf;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      const bool iconvOk = iconv(cd, &pIn, &inLeft, &pOut, &outLeft) != static_cast<std::size_t>(-1) && inLeft == 0;
      const std::string decoded = Cp932ToUtf8(bytes);
      if (!iconvOk) {
        ASSERT_EQ(decoded.compare(0, 3, kFffd), 0) << std::hex << lead << ' ' << trail;
        continue;
      }
      ++valid;
      ASSERT_EQ(decoded, std::string(buf, pOut)) << std::hex << lead << ' ' << trail;
      std::string encoded;
      ASSERT_TRUE(Utf8ToCp932(decoded, encoded)) << std::hex << lead << ' ' << trail;
      ASSERT_EQ(encoded.size(), 2u);
      ASSERT_EQ(Cp932ToUtf8(encoded), decoded);
    }
  }
  iconv_close(cd);
  EXPECT_GT(valid, 9000);
}

// Every two bytes decode to text that encodes back to them, except the 398
// codes CP932 gives a character twice in the form its encoder does not pick.
TEST(Cp932Codec, ExactDecodingGivesEveryPairBack) {
  int others = 0;
  std::string text, back;
  for (int lead = 0x80; lead <= 0xFF; ++lead) {
    for (int trail = 0x00; trail <= 0xFF; ++trail) {
      const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
      if (!DecodeCp932Exact(bytes, text)) {
        ++others;
        continue;
      }
      ASSERT_TRUE(EncodeCp932Exact(text, back)) << std::hex << lead << ' ' << trail;
      ASSERT_EQ(back, bytes) << std::hex << lead << ' ' << trail;
    }
  }
  EXPECT_EQ(others, 398);
  // An escaped byte that would pair with its neighbour has no CP932 form.
  EXPECT_FALSE(
      EncodeCp932Exact("\xEE\xBE\x81"
                       "A",
                       back));                           // U+EF81 'A' would read as "、"
  EXPECT_FALSE(EncodeCp932Exact("\xEE\xBD\x9C", back));  // U+EF5C would read as "\\"
}

TEST(Cp932Codec, SortKeys) {
  EXPECT_EQ(Cp932SortKey(U'\\'), 0x5Cu);
  EXPECT_EQ(Cp932SortKey(U'ｱ'), 0xB1u);
  EXPECT_EQ(Cp932SortKey(U'表'), 0x955Cu);
  EXPECT_EQ(Cp932SortKey(U'ⅰ'), 0xFA40u);
  EXPECT_EQ(Cp932SortKey(U'é'), 0x10000u + 0xE9);
  EXPECT_EQ(Cp932SortKey(U'\U0001F600'), 0x10000u + 0x1F600);
  EXPECT_LT(Cp932SortKey(U'z'), Cp932SortKey(U'ｱ'));
  EXPECT_LT(Cp932SortKey(U'ｱ'), Cp932SortKey(U'ア'));
}

TEST(Cp932Codec, FoldCase) {
  std::string out;
  FoldCase("ABC xyz ＡＢＺ ΑΣΩ АЯЁ", out);
  EXPECT_EQ(out, "abc xyz ａｂｚ ασω аяё");
  // Characters CP932 holds stay as they are, Roman numerals included.
  FoldCase("Ⅰⅱ漢字ｶﾅ表\\", out);
  EXPECT_EQ(out, "Ⅰⅱ漢字ｶﾅ表\\");
  // Characters outside CP932 take their Unicode lower case.
  FoldCase("ÉCOLE Ϊ😀", out);
  EXPECT_EQ(out, "école ϊ😀");
  // Invalid bytes are kept, so folding never changes a match into a non-match.
  FoldCase(
      "A\xFF"
      "B\xE6\x97",
      out);
  EXPECT_EQ(out,
            "a\xFF"
            "b\xE6\x97");

  EXPECT_EQ(FoldCaseChar(0x03A2), 0x03A2u);  // unassigned in Greek capitals
  EXPECT_EQ(FoldCaseChar(U'@'), U'@');
  EXPECT_EQ(FoldCaseChar(U'['), U'[');
}

TEST(Utf8Text, NextCharAndAppend) {
  const std::string s =
      "a\xC3\xA9\xE6\xBC\xA2\xF0\x9F\x98\x80\xC3"
      "b\xE0\x80\x80";
  std::size_t pos = 0;
  EXPECT_EQ(NextUtf8Char(s, pos), U'a');
  EXPECT_EQ(NextUtf8Char(s, pos), U'é');
  EXPECT_EQ(NextUtf8Char(s, pos), U'漢');
  EXPECT_EQ(NextUtf8Char(s, pos), U'\U0001F600');
  EXPECT_EQ(pos, 10u);
  EXPECT_EQ(NextUtf8Char(s, pos), 0xFFFDu);  // truncated sequence
  EXPECT_EQ(NextUtf8Char(s, pos), U'b');
  EXPECT_EQ(NextUtf8Char(s, pos), 0xFFFDu);  // overlong, one byte at a time
  EXPECT_EQ(pos, 13u);

  std::string out;
  for (char32_t cp : {U'a', U'é', U'漢', U'\U0001F600', char32_t(0xD800), char32_t(0x110000)}) AppendUtf8(out, cp);
  EXPECT_EQ(out, "aé漢😀" + kFffd + kFffd);
}

TEST(Utf8Text, Sanitize) {
  EXPECT_EQ(SanitizeUtf8("plain 漢字 😀"), "plain 漢字 😀");
  EXPECT_EQ(SanitizeUtf8("a\x8A\xBF"
                         "b"),
            "a" + kFffd + kFffd + "b");
  EXPECT_EQ(SanitizeUtf8("\xED\xA0\x80"), kFffd + kFffd + kFffd);  // encoded surrogate
  EXPECT_EQ(SanitizeUtf8("\xF4\x90\x80\x80"), kFffd + kFffd + kFffd + kFffd);
  EXPECT_EQ(SanitizeUtf8("ok\xE6\xBC"), "ok" + kFffd + kFffd);
}

TEST(Utf8Text, Utf16le) {
  const unsigned char pair[] = {'A', 0, 0x22, 0x6F, 0x3D, 0xD8, 0x00, 0xDE};
  EXPECT_EQ(Utf16leToUtf8(pair, 4), "A漢😀");
  EXPECT_EQ(Utf8ToUtf16le("A漢😀"), std::string(reinterpret_cast<const char*>(pair), sizeof pair));

  const unsigned char lone[] = {0x00, 0xDC, 'x', 0, 0x3D, 0xD8, 'y', 0, 0x3D, 0xD8};
  EXPECT_EQ(Utf16leToUtf8(lone, 5), kFffd + "x" + kFffd + "y" + kFffd);
  EXPECT_EQ(Utf16leToUtf8(nullptr, 0), "");

  EXPECT_EQ(Utf8ToUtf16le("a\xFF"), std::string("a\0\xFD\xFF", 4));
}

}  // namespace
