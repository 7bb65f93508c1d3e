// TFileStream on a POSIX file descriptor. POSIX has no share modes: "no sharing" of the create
// mode is not enforced here. A file without write permission counts as read-only and is not
// replaced, also for root, as on Windows.
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/exceptions.h"
#include "platform/posix/native_path.h"
#include "platform/stream.h"

namespace platform {

TFileStream::TFileStream(const std::string& path, Mode mode) : handle_(-1) {
  std::string native = posix::NativePath(path);
  struct stat st;
  if (mode == fmCreate && stat(native.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
      posix::IsReadOnlyMode(st.st_mode))
    throw EFCreateError(path);
  int fd;
  do {
    fd = mode == fmCreate ? open(native.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666)
                          : open(native.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    if (mode == fmCreate) throw EFCreateError(path);
    throw EFOpenError(path);
  }
  handle_ = fd;
}

TFileStream::~TFileStream() {
  if (handle_ >= 0) close(static_cast<int>(handle_));
}

int32_t TFileStream::Read(void* buffer, int32_t count) {
  int32_t done = 0;
  while (done < count) {
    ssize_t n = read(static_cast<int>(handle_), static_cast<char*>(buffer) + done,
                     static_cast<size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<int32_t>(n);
  }
  return done;
}

int32_t TFileStream::Write(const void* buffer, int32_t count) {
  int32_t done = 0;
  while (done < count) {
    ssize_t n = write(static_cast<int>(handle_), static_cast<const char*>(buffer) + done,
                      static_cast<size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<int32_t>(n);
  }
  return done;
}

int64_t TFileStream::Seek(int64_t offset, SeekOrigin origin) {
  int whence = origin == SeekOrigin::soBeginning ? SEEK_SET
               : origin == SeekOrigin::soCurrent ? SEEK_CUR
                                                 : SEEK_END;
  off_t at = lseek(static_cast<int>(handle_), static_cast<off_t>(offset), whence);
  return at < 0 ? -1 : static_cast<int64_t>(at);
}

}  // namespace platform
