// The system code page of the Windows build is Windows-1252.
#include "platform/codepage.h"
#include "platform/exceptions.h"

namespace platform {

std::string ToSystemCodePage(const std::string& utf8) {
  return Utf8ToWindows1252(utf8);
}

}  // namespace platform
