// The folder part of a path, by the backend's delimiters.
#include "platform/fs.h"

namespace platform {

std::string ExtractFilePath(const std::string& path) {
  for (size_t i = path.size(); i > 0; --i)
    if (IsPathDelimiter(path[i - 1])) return path.substr(0, i);
  return std::string();
}

}  // namespace platform
