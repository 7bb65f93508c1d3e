// Console facts on POSIX.
#include <unistd.h>

#include <algorithm>

#include "tools/console.h"

namespace tools {

bool StderrIsTerminal() {
  return isatty(STDERR_FILENO) == 1;
}

void SetBinaryStdio() {}

std::string DisplayPath(const std::string& path) {
  std::string shown = path;
  std::replace(shown.begin(), shown.end(), '\\', '/');
  return shown;
}

}  // namespace tools
