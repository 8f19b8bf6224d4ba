#pragma once
// Where a benchmark's tree goes: below the folder named on the command line,
// else below $TMPDIR or /tmp.

#include <cstdio>
#include <cstdlib>
#include <string>

#include <stdlib.h>

inline std::string BenchParentFolder(int argc, char** argv) {
  const char* base = argc > 1 ? argv[1] : std::getenv("TMPDIR");
  return base != nullptr ? base : "/tmp";
}

// A new folder for a benchmark's tree below BenchParentFolder; empty when it
// cannot be made.
inline std::string MakeBenchFolder(int argc, char** argv) {
  std::string root = BenchParentFolder(argc, argv) + "/quarrix-bench-XXXXXX";
  if (mkdtemp(root.data()) == nullptr) {
    std::perror("mkdtemp");
    return {};
  }
  std::printf("building tree in %s ...\n", root.c_str());
  return root;
}
