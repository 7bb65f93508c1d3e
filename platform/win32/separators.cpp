// Path delimiters on Windows: "\" separates folders, ":" ends a drive letter.
#include "platform/fs.h"

namespace platform {

bool IsPathSeparator(char c) {
  return c == '\\';
}

bool IsPathDelimiter(char c) {
  return c == '\\' || c == ':';
}

}  // namespace platform
