#include "platform/full_path.h"

#include <cstdlib>

std::string FullPathOf(const std::string& path) {
  char* real = realpath(path.c_str(), nullptr);
  if (real == nullptr) return {};
  std::string resolved = real;
  std::free(real);
  return resolved;
}
