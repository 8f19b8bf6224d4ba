#pragma once
// Shared by the quarrix-cli commands: loading and saving the set with the
// tool's exit statuses and messages.

#include <memory>
#include <string>
#include <vector>

#include "model/root_file_info.h"

enum {
  EXIT_OK = 0,
  EXIT_NOTHING = 1,    // nothing found or nothing changed
  EXIT_USAGE = 2,
  EXIT_MALFORMED = 3,  // not a set file
  EXIT_IO = 4,         // cannot be read or written
};

// Loads path into set (named after the file); a missing file gives a new
// empty set when createIfMissing. Reports failures on stderr; returns an exit status.
int LoadSetForCli(const std::string& path, std::unique_ptr<CRootFileInfo>& set, bool createIfMissing = false);
// Saves atomically; reports failures on stderr; returns an exit status.
int SaveSetForCli(const std::string& path, const CRootFileInfo& set);

// Command-line text is taken as UTF-8; stray bytes become U+FFFD.
std::string ArgText(const std::string& arg);

int CmdAdd(const std::vector<std::string>& args);
