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
  // What one character becomes, remembered per BMP character: known, stable
  // (composed, and no neighbour can combine with it, so a text of such
  // characters is its own NFC form), simple (it folds to the one character
  // in the low bits, needing nothing of its neighbours).
  enum : std::uint32_t { kKnown = 1u << 31, kStable = 1u << 30, kSimple = 1u << 29, kCharMask = 0x1FFFFF };
  std::uint32_t Lookup(std::uint32_t c);
  std::uint32_t Compute(std::uint32_t c) const;
  // Folds source (a text of stable characters unless composed) into out;
  // false when it meets a character that is not stable.
  bool FoldInto(std::string_view source, std::string& out, bool composed);
  // Append the folded form of c, a character of a composed text, to out:
  // first the width, then kana and case.
  void AppendFolded(std::uint32_t c, std::string& out);
  void AppendKanaAndCase(std::uint32_t c, std::string& out);

  CTextOptions m_options;
  bool m_bFoldCase;
  bool m_bFolds;                              // any folding beyond NFC
  std::unique_ptr<std::uint32_t[]> m_pKnown;  // Lookup's memory of the BMP
  std::string m_strComposed;                  // the NFC form when one was needed
  std::size_t m_nLastStart = 0;               // where the last appended character starts
};

// Bytes 0x80 and above anywhere in text.
bool HasNonAscii(std::string_view text);
