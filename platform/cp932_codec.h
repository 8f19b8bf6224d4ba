// Text conversion between UTF-8 (in memory), CP932 (set file, HTML report)
// and UTF-16LE, plus the case folding used by searches.
//
// The CP932 tables are built once from glibc iconv on first use and are safe
// to use from several threads; no conversion calls iconv afterwards.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Decodes CP932 bytes. A byte that does not begin a valid character becomes
// U+FFFD; for a lead byte whose trail byte does not complete a character, only
// the lead byte is replaced and decoding resumes at the trail byte.
std::string Cp932ToUtf8(std::string_view bytes);

// Bytes that cannot be text (invalid bytes of CP932 or UTF-8, and in names
// the logical path separator) are kept as U+EF00 + byte: private-use
// characters outside CP932's user-defined range, so every text stays valid
// UTF-8 and each such byte can be given back exactly.
constexpr char32_t kByteEscapeBase = 0xEF00;
constexpr bool IsByteEscape(char32_t cp) { return cp >= kByteEscapeBase && cp <= kByteEscapeBase + 0xFF; }

// Decodes CP932 bytes as the set file holds them: a byte that does not begin
// a valid character becomes its escape, so encoding the text again with
// EncodeCp932Exact gives the bytes back. Returns false when it would not:
// the bytes hold one of the codes CP932 gives a character twice, in the form
// the encoder does not pick (NEC row 13 and IBM duplicates).
bool DecodeCp932Exact(std::string_view bytes, std::string& out);

// Encodes UTF-8 as CP932 with escapes giving their bytes. False (out then
// unusable) when a character has no code.
bool EncodeCp932Bytes(std::string_view utf8, std::string& out);
// The same, but also false when the result would not decode to the same
// text (an escaped byte joining its neighbour, an escaped backslash).
bool EncodeCp932Exact(std::string_view utf8, std::string& out);

// Text for bytes that should be UTF-8: valid UTF-8 stays as it is, except
// that characters U+EF00 to U+EFFF, and "\" when escapeBackslash, become the
// escapes of their bytes; every other byte becomes its escape. So different
// bytes always give different texts. *invalid (when given) tells whether
// the bytes held invalid UTF-8.
std::string EscapeBytes(std::string_view bytes, bool escapeBackslash, bool* invalid = nullptr);
// The bytes of text with each escape turned back into its byte.
std::string UnescapeBytes(std::string_view text);

// Encodes UTF-8 as CP932 into out (replacing it). Returns false when the input
// holds invalid UTF-8 or a character CP932 cannot hold; out then has '?' in
// place of each such character or invalid byte. Only mappings that decode back
// to the same character are used, so U+00A5 or U+301C do not encode.
bool Utf8ToCp932(std::string_view utf8, std::string& out);

// Unpaired surrogates become U+FFFD (and clear *exact when given).
std::string Utf16leToUtf8(const unsigned char* data, std::size_t units, bool* exact = nullptr);

// True when utf8 holds a byte escape.
bool HasByteEscape(std::string_view utf8);

// Returns UTF-16LE bytes, two per code unit; invalid UTF-8 bytes become U+FFFD.
std::string Utf8ToUtf16le(std::string_view utf8);

// Whether bytes are valid UTF-8 throughout.
bool IsValidUtf8(std::string_view bytes);

// The text for a name stored as bytes whatever the system: valid UTF-8 stays
// (escaped as EscapeBytes does, "\" included); otherwise bytes that are
// exactly CP932 read as their text; any other byte is escaped.
std::string NameTextOfBytes(std::string_view bytes);

// Replaces each byte that is not part of valid UTF-8 by U+FFFD.
std::string SanitizeUtf8(std::string_view bytes);

// Decodes the character at pos (which must be < s.size()) and advances pos.
// An invalid byte gives U+FFFD and advances pos by one.
char32_t NextUtf8Char(std::string_view s, std::size_t& pos);

// Appends cp as UTF-8; a surrogate or a value above U+10FFFF appends U+FFFD.
void AppendUtf8(std::string& out, char32_t cp);

bool IsCp932Char(char32_t cp);

// The character's CP932 code (byte, or lead * 256 + trail); 0x10000 + cp for a
// character CP932 cannot hold, so those sort after all others.
std::uint32_t Cp932SortKey(char32_t cp);

// Case folding for case-insensitive searches: ASCII, full-width Latin, Greek
// and Cyrillic capitals go to lower case; any other character CP932 can hold
// is left alone; characters outside CP932 take their Unicode simple lower case.
char32_t FoldCaseChar(char32_t cp);

// Folds utf8 into out (replacing it). Invalid UTF-8 bytes are copied unchanged.
void FoldCase(std::string_view utf8, std::string& out);
