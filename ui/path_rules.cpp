#include "ui/path_rules.h"

bool SplitAtLastBackslash(const std::string& path, std::string& folder, std::string& name) {
  const std::size_t slash = path.rfind('\\');
  if (slash == std::string::npos) {
    folder.clear();
    name = path;
    return false;
  }
  folder = path.substr(0, slash);
  name = path.substr(slash + 1);
  return true;
}

bool SplitAtFirstBackslash(const std::string& path, std::string& head, std::string& rest) {
  const std::size_t slash = path.find('\\');
  if (slash == std::string::npos) {
    head = path;
    rest.clear();
    return false;
  }
  head = path.substr(0, slash);
  rest = path.substr(slash + 1);
  return true;
}

std::string ChildPath(const std::string& folder, const std::string& name) {
  return folder.empty() ? name : folder + '\\' + name;
}
