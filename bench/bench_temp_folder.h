#pragma once
// A new folder for a benchmark's tree: below the folder named on the command
// line, else below $TMPDIR or /tmp. Empty when it cannot be made.

#include <cstdio>
#include <cstdlib>
#include <string>

#include <stdlib.h>

inline std::string MakeBenchFolder(int argc, char** argv) {
  const char* base = argc > 1 ? argv[1] : std::getenv("TMPDIR");
  std::string root = std::string(base != nullptr ? base : "/tmp") + "/quarrix-bench-XXXXXX";
  if (mkdtemp(root.data()) == nullptr) {
    std::perror("mkdtemp");
    return {};
  }
  std::printf("building tree in %s ...\n", root.c_str());
  return root;
}
