#include "model/scan_paths.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include "model/scan.h"
#include "platform/dir_reader.h"
#include "platform/full_path.h"
#include "platform/path_separator.h"

namespace {

std::vector<std::string> SplitComponents(std::string path) {
  StripTrailingSeparator(path);
  if (IsRootPath(path)) return {path.substr(0, RootLength(path) - 1)};
  std::vector<std::string> components;
  std::size_t pos = 0;
  for (;;) {
    const std::size_t slash = path.find(kPathSeparator, pos);
    components.push_back(path.substr(pos, slash - pos));
    if (slash == std::string::npos) return components;
    pos = slash + 1;
  }
}

[[maybe_unused]] std::string CurrentFolder() {
  std::vector<char> buffer(PATH_MAX);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return "/";
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

}  // namespace

bool IsRootPath(const std::string& path) { return RootLength(path) > 0 && path.size() == RootLength(path); }

std::string ParentOf(const std::string& path) {
  const std::size_t slash = path.rfind(kPathSeparator);
  if (slash == std::string::npos) return path;
  if (slash < RootLength(path)) return path.substr(0, RootLength(path));
  return path.substr(0, slash);
}

bool IsInside(const std::string& path, const std::string& folder) {
  if (IsRootPath(folder)) return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0;
  return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
         path[folder.size()] == kPathSeparator;
}

std::string LastNameOf(const std::string& path) {
  if (IsRootPath(path)) return {};
  return path.substr(path.rfind(kPathSeparator) + 1);
}

bool FolderExists(const std::string& path) {
  if (IsRootPath(path)) return true;
  CFindData record;
  return ReadPathRecord(path, record) && (record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string CommonParentPath(const std::vector<std::string>& paths) {
  if (paths.empty()) return {};
  if (paths.size() == 1) {
    std::string path = paths[0];
    StripTrailingSeparator(path);
    return ParentOf(path);
  }
  std::vector<std::string> common = SplitComponents(paths[0]);
  for (const std::string& path : paths) {
    const std::vector<std::string> components = SplitComponents(path);
    const auto mismatch = std::mismatch(common.begin(), common.end(), components.begin(), components.end());
    common.erase(mismatch.first, common.end());
  }
  // Only the root in common: "/" (its component is empty), or "C:\".
  if (common.size() == 1 && (common[0].empty() || IsRootPath(common[0] + kPathSeparator)))
    return common[0] + kPathSeparator;
  std::string joined;
  for (std::size_t i = 0; i < common.size(); ++i) {
    if (i > 0) joined += kPathSeparator;
    joined += common[i];
  }
  return joined;
}

void StripTrailingSeparator(std::string& path) {
  if (path.size() > std::max<std::size_t>(RootLength(path), 1) && path.back() == kPathSeparator) path.pop_back();
}

std::string ResolvedPath(const std::string& path) {
  std::string resolved = FullPathOf(path);
  return resolved.empty() ? path : resolved;
}

std::string MakeAbsolutePath(const std::string& path) {
  if (path.empty()) return path;
#ifdef _WIN32
  // The system's own rules: drive-relative paths, '/' for '\', "." and "..".
  std::string absolute = ResolvedPath(path);
  StripTrailingSeparator(absolute);
  return absolute;
#else
  const std::string full = path[0] == '/' ? path : CurrentFolder() + "/" + path;
  std::vector<std::string> kept;
  std::size_t pos = 0;
  while (pos <= full.size()) {
    const std::size_t slash = std::min(full.find('/', pos), full.size());
    const std::string component = full.substr(pos, slash - pos);
    pos = slash + 1;
    if (component.empty() || component == ".") continue;
    if (component == "..") {
      if (!kept.empty()) kept.pop_back();
      continue;
    }
    kept.push_back(component);
  }
  std::string result;
  for (const std::string& component : kept) result += "/" + component;
  return result.empty() ? "/" : result;
#endif
}
