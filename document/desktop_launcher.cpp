// The parts of starting applications that are the same on every system.
#include "document/app_launcher.h"

#include "platform/path_separator.h"

CAppLauncher& GetDesktopLauncher() {
  static CDesktopLauncher launcher;
  return launcher;
}

std::vector<std::string> ProgramArguments(const std::string& program, const std::string& path) {
  if (path.empty() || path[0] != '-') return {program, path};
  return {program, std::string(".") + kPathSeparators[0] + path};
}
