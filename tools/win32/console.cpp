// Console facts on Windows.
#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "tools/console.h"

namespace tools {

bool StderrIsTerminal() {
  return _isatty(_fileno(stderr)) != 0;
}

void SetBinaryStdio() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
}

std::string DisplayPath(const std::string& path) {
  return path;
}

}  // namespace tools
