// The Windows error codes that the POSIX backend reports for OS error numbers, so that
// EInOutError picks the same message text on both systems. Portable (the table maps by the
// errno names), so that it can be tested on both builds.
#pragma once

namespace platform {

// Windows error codes this project names.
constexpr int kErrorFileNotFound = 2;      // ERROR_FILE_NOT_FOUND
constexpr int kErrorPathNotFound = 3;      // ERROR_PATH_NOT_FOUND
constexpr int kErrorTooManyOpenFiles = 4;  // ERROR_TOO_MANY_OPEN_FILES
constexpr int kErrorAccessDenied = 5;      // ERROR_ACCESS_DENIED
constexpr int kErrorGenFailure = 31;       // ERROR_GEN_FAILURE
constexpr int kErrorDiskFull = 112;        // ERROR_DISK_FULL
constexpr int kErrorAlreadyExists = 183;   // ERROR_ALREADY_EXISTS

// The Windows code for an errno value. ENOENT gives 2 (file not found), or 3 (path not found)
// when parentMissing says that a folder above the named object is missing. 0 gives 0; a value
// the table does not know gives 31 (ERROR_GEN_FAILURE).
int WindowsErrorFromErrno(int errnoValue, bool parentMissing);

}  // namespace platform
