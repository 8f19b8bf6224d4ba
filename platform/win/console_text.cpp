#include "platform/console_text.h"

#include <windows.h>

#include <algorithm>

#include "platform/win/win_text.h"

bool WriteConsoleText(std::FILE* stream, std::string_view text) {
  if (stream != stdout && stream != stderr) return false;
  const HANDLE console = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (!GetConsoleMode(console, &mode)) return false;
  // What the stream holds goes first, so that the order stays.
  std::fflush(stream);
  const std::wstring wide = WideFromUtf8(text);
  for (std::size_t done = 0; done < wide.size();) {
    DWORD written = 0;
    const DWORD part = DWORD(std::min<std::size_t>(wide.size() - done, 16384));
    if (!WriteConsoleW(console, wide.data() + done, part, &written, nullptr) || written == 0) break;
    done += written;
  }
  return true;
}
