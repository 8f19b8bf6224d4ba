#pragma once
// The form in which searches compare texts: canonically composed (NFC), then
// optionally with widths and kana unified, then case-folded unless case counts.
// Options change only characters beyond ASCII, so an ASCII text keeps its
// form except for the case of its letters.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// What a text search may ignore beyond case; both off by default.
struct CTextOptions {
  bool bIgnoreWidth = false;  // full-width ASCII as ASCII, half-width katakana as full-width
  bool bIgnoreKana = false;   // katakana as hiragana
};

class CSearchFolder {
 public:
  CSearchFolder(CTextOptions options, bool foldCase);
  CSearchFolder(CSearchFolder&&) noexcept;
  CSearchFolder& operator=(CSearchFolder&&) noexcept;
  ~CSearchFolder();

  // The compared form of text: text itself when folding leaves it as it is,
  // else scratch, filled with it. Bytes that are not UTF-8 stay as they are.
  std::string_view Fold(std::string_view text, std::string& scratch);

 private:
  // True when c is composed and no neighbour can combine with it, so a text
  // of such characters is its own NFC form. Remembered per BMP character.
  bool IsStable(std::uint32_t c);
  // Append the folded form of c, a character of a composed text, to out:
  // first the width, then kana and case.
  void AppendFolded(std::uint32_t c, std::string& out);
  void AppendKanaAndCase(std::uint32_t c, std::string& out);

  CTextOptions m_options;
  bool m_bFoldCase;
  std::unique_ptr<std::uint8_t[]> m_pStable;  // 0 unknown, 1 stable, 2 not
  std::string m_strComposed;                  // the NFC form when one was needed
  std::size_t m_nLastStart = 0;               // where the last appended character starts
};

// Bytes 0x80 and above anywhere in text.
bool HasNonAscii(std::string_view text);
