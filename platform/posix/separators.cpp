// Path delimiters on POSIX: "/" as well as the "\" and ":" of Windows paths.
#include "platform/fs.h"

namespace platform {

bool IsPathSeparator(char c) {
  return c == '\\' || c == '/';
}

bool IsPathDelimiter(char c) {
  return c == '\\' || c == '/' || c == ':';
}

}  // namespace platform
