#pragma once
// Text for a console window, which on Windows shows its own code page's
// bytes: there UTF-8 text goes to it as UTF-16 instead. Pipes and files
// take the UTF-8 bytes as they are.

#include <cstdio>
#include <string_view>

// Writes text to stream (stdout or stderr) when that is a console that
// needs it; false, having written nothing, otherwise.
bool WriteConsoleText(std::FILE* stream, std::string_view text);
