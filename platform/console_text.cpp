#include "platform/console_text.h"

// A terminal here reads UTF-8 as it is.
bool WriteConsoleText(std::FILE*, std::string_view) { return false; }
