#pragma once
// The subset of iconv the CP932 tables are built with (UTF-32LE to and from
// CP932, CP932 to UTF-8; one character per call), over the code page 932 converters
// MultiByteToWideChar and WideCharToMultiByte.

#include <cstddef>

typedef void* iconv_t;

iconv_t iconv_open(const char* to, const char* from);
std::size_t iconv(iconv_t cd, char** in, std::size_t* inLeft, char** out, std::size_t* outLeft);
int iconv_close(iconv_t cd);
