#pragma once
// Text forms of sizes, attributes and kinds shared by the views, the search,
// the information sheet and the report.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class CTypeNameSource;

// "1,234KB", "3MB" or with inBytes "1,234,567バイト"; a zero value shows as 1.
std::string FormatSize(std::uint64_t size, bool inBytes);

// "1,234,567".
std::string FormatCount(std::uint64_t value);

// "0:05", "12:34" or "1:02:03".
std::string FormatElapsed(std::uint64_t seconds);

// Attribute words joined by "・".
std::string FormatAttributes(std::uint32_t attributes);

// The kind of a file with this extension (dot included, "" for none) or of a
// folder; cached for the life of the process. Never fails: unknown kinds get
// the extension without its dot followed by " ﾌｧｲﾙ".
std::string TypeNameFor(const std::string& extension, bool isFolder);

// Replaces where TypeNameFor gets its answers and empties its cache (tests).
void SetTypeNameSource(std::unique_ptr<CTypeNameSource> source);

// The extension of a name: from its last "." to the end, or empty.
std::string ExtensionOf(std::string_view name);

// A name or path as the user sees it: each byte the name held that is no text
// (a byte escape in memory) shows as "«E9»", so it cannot pass for a real
// character. The stored text is not changed.
std::string DisplayName(std::string_view text);

// A name pattern the user typed, with each "«E9»" (hex in either case) turned
// back into the byte escape it stands for, so the name search finds what the
// views show.
std::string NameFromDisplay(std::string_view typed);
