// The quarrix program: the application object with the program's version.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/explorer_ap_app.h"
#include "document/file_path_text.h"
#include "platform/heap_arenas.h"

#ifndef QUARRIX_VERSION
#define QUARRIX_VERSION ""
#endif

class CQuarrixProgram : public CExplorerApApp {
 public:
  CQuarrixProgram() { SetProductVersion(QUARRIX_VERSION); }
};

wxIMPLEMENT_APP_NO_MAIN(CQuarrixProgram);

int main(int argc, char** argv) {
  LimitHeapArenas();
  // Answered before the library starts, so they need no display.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("quarrix %s\n", QUARRIX_VERSION);
      return 0;
    }
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kUsageText, stdout);
      return 0;
    }
  }
  // The arguments become text here rather than through the locale, so that
  // a file name that is not UTF-8 keeps its bytes.
  std::vector<std::wstring> texts;
  for (int i = 0; i < argc; ++i) texts.push_back(WxFromPath(argv[i]).ToStdWstring());
  std::vector<wxChar*> args;
  for (std::wstring& text : texts) args.push_back(text.data());
  args.push_back(nullptr);
  return RunApplication(argc, args.data());
}
