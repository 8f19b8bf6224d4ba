#pragma once
// UTF-8 (the program's strings) to and from the UTF-16 the system's wide
// calls take, exactly both ways: a lone surrogate of a name survives.
// Include after the headers that bring in find_data.h: <windows.h> defines
// the attribute names it declares.

#include <string>
#include <string_view>

std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);
// A path for the wide file calls: '/' becomes '\', and an absolute path too
// long for the classic limit gets the "\\?\" prefix.
std::wstring WidePath(std::string_view utf8);
// Whether path is whole as it is: a drive or a share, or already in the
// "\\?\" form, without "." or ".." parts or doubled separators.
bool IsWholePath(std::wstring_view path);
// A path the system takes literally: absolute drive and UNC paths without
// "." or ".." parts get the "\\?\" form, so that a name ending in a dot or a
// space (legal on other systems' shares) is not trimmed. Others as WidePath.
std::wstring LiteralWidePath(std::string_view utf8);
