// The system code page of the POSIX build is UTF-8: texts pass unchanged.
#include "platform/exceptions.h"

namespace platform {

std::string ToSystemCodePage(const std::string& utf8) {
  return utf8;
}

}  // namespace platform
