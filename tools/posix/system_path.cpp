// Paths and system strings on POSIX: the same bytes.
#include "tools/system_path.h"

namespace tools {

std::filesystem::path PathFromSystem(const std::string& text) {
  return std::filesystem::path(text);
}

std::string SystemFromPath(const std::filesystem::path& path) {
  return path.string();
}

}  // namespace tools
