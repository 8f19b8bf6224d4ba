#pragma once
// The real name of a catalogued item, from what the scan recorded: the
// bytes the file system held, whatever is on disk now.

#include <string>

class CFileInfo;

// The name's bytes on disk: its CP932 form when the scan decoded it from
// CP932, else its text with every escape turned back into its byte.
std::string RealNameOf(const CFileInfo& item);
