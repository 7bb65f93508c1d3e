// errno to Windows error code: the one table.
#include "platform/oserror.h"

#include <cerrno>

namespace platform {
namespace {

struct ErrnoCode {
  int errnoValue;
  int windowsCode;
};

constexpr ErrnoCode kErrnoCodes[] = {
    {ENOTDIR, kErrorPathNotFound},  // a path component is a file
    {ENAMETOOLONG, 206},            // ERROR_FILENAME_EXCED_RANGE
    {EACCES, kErrorAccessDenied},
    {EPERM, kErrorAccessDenied},
    {EROFS, kErrorAccessDenied},   // Windows: write-protected media also deny access
    {EISDIR, kErrorAccessDenied},  // opening a folder as a file
    {EMFILE, kErrorTooManyOpenFiles},
    {ENFILE, kErrorTooManyOpenFiles},
    {ENOSPC, kErrorDiskFull},
    {EEXIST, kErrorAlreadyExists},
    {ENOTEMPTY, 145},  // ERROR_DIR_NOT_EMPTY
    {EBUSY, 170},      // ERROR_BUSY
    {EBADF, 6},        // ERROR_INVALID_HANDLE
    {ENOMEM, 8},       // ERROR_NOT_ENOUGH_MEMORY
    {EINVAL, 87},      // ERROR_INVALID_PARAMETER
    {EIO, 1117},       // ERROR_IO_DEVICE
    {EXDEV, 17},       // ERROR_NOT_SAME_DEVICE
    {ENODEV, 15},      // ERROR_INVALID_DRIVE
    {ENXIO, 21},       // ERROR_NOT_READY
    {EFBIG, 223},      // ERROR_FILE_TOO_LARGE
    {ESPIPE, 25},      // ERROR_SEEK
    {EMLINK, 1142},    // ERROR_TOO_MANY_LINKS
    {EAGAIN, 33},      // ERROR_LOCK_VIOLATION
#ifdef ELOOP
    {ELOOP, 1921},  // ERROR_CANT_RESOLVE_FILENAME
#endif
#ifdef EDQUOT
    {EDQUOT, kErrorDiskFull},  // quota exhausted: the disk is full for this user
#endif
#ifdef ETXTBSY
    {ETXTBSY, 32},  // ERROR_SHARING_VIOLATION
#endif
};

}  // namespace

int WindowsErrorFromErrno(int errnoValue, bool parentMissing) {
  if (errnoValue == 0) return 0;
  if (errnoValue == ENOENT) return parentMissing ? kErrorPathNotFound : kErrorFileNotFound;
  for (const ErrnoCode& entry : kErrnoCodes)
    if (entry.errnoValue == errnoValue) return entry.windowsCode;
  return kErrorGenFailure;
}

}  // namespace platform
