#pragma once
// The version shown in the about box.

#include <string>

// version is "major.minor.build.revision" (missing parts are 0, each part at
// most 0xFFFF). The text is major "." minor in lower-case hexadecimal without
// leading zeros, then "." build in hexadecimal when build is nonzero; the
// revision is not shown. "1.10.2.5" gives "1.a.2". Anything else gives "X.X".
std::string MakeVersionText(const std::string& version);
