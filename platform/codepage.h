// Conversion of this source tree's UTF-8 texts into Windows-1252, the system code page of the
// Windows build. Portable, so that both builds can test it.
#pragma once

#include <string>

namespace platform {

// UTF-8 to Windows-1252. Characters that code page lacks, and malformed UTF-8, become "?".
std::string Utf8ToWindows1252(const std::string& utf8);

}  // namespace platform
