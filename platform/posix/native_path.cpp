// Path conversion and error mapping of the POSIX backend.
#include "platform/posix/native_path.h"

#include <sys/stat.h>

#include <cerrno>

#include "platform/oserror.h"

namespace platform {
namespace posix {

std::string NativePath(const std::string& path) {
  std::string native = path;
  for (char& c : native)
    if (c == '\\') c = '/';
  return native;
}

int WindowsError(int errnoValue, const std::string& nativePath) {
  bool parentMissing = false;
  if (errnoValue == ENOENT) {
    std::string::size_type slash = nativePath.find_last_of('/');
    // The folder that should hold the last component; "." for a bare name.
    std::string parent = slash == std::string::npos ? "."
                         : slash == 0               ? "/"
                                                    : nativePath.substr(0, slash);
    struct stat st;
    parentMissing = stat(parent.c_str(), &st) != 0 || !S_ISDIR(st.st_mode);
  }
  return WindowsErrorFromErrno(errnoValue, parentMissing);
}

bool IsReadOnlyMode(unsigned mode) {
  return (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace posix
}  // namespace platform
