// Compiled into every Windows program: files and the standard streams are
// binary before main runs, so "\n" stays "\n" and a 0x1A byte is no end of
// file; set files and output are the same bytes as on Linux.
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>

namespace {

struct CBinaryMode {
  CBinaryMode() {
    _fmode = _O_BINARY;
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
  }
} g_binaryMode;

}  // namespace
