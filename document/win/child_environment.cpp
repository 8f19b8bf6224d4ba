#include "document/child_environment.h"

// Windows programs take their language from the system, not the environment.
void KeepLanguageForChildren(const char*) {}
