// The quarrix program: the application object with the program's version.

#include "document/explorer_ap_app.h"

#ifndef QUARRIX_VERSION
#define QUARRIX_VERSION ""
#endif

class CQuarrixProgram : public CExplorerApApp {
 public:
  CQuarrixProgram() { SetProductVersion(QUARRIX_VERSION); }
};

wxIMPLEMENT_APP_NO_MAIN(CQuarrixProgram);

int main(int argc, char** argv) { return RunApplication(argc, argv); }
