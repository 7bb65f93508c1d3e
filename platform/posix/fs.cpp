// File-system operations on POSIX. Windows paths are converted at each system call; errors are
// reported with the Windows codes of oserror.h.
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <time.h>
#include <unistd.h>

#include <cstring>

#include "platform/exceptions.h"
#include "platform/fs.h"
#include "platform/oserror.h"
#include "platform/posix/native_path.h"

namespace platform {
namespace {

using posix::IsReadOnlyMode;
using posix::NativePath;
using posix::WindowsError;

constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

// The path without its last component: "a/b" -> "a", "/a" -> "/", "a" -> "".
std::string ParentOf(const std::string& native) {
  std::string p = native;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  std::string::size_type slash = p.find_last_of('/');
  if (slash == std::string::npos) return std::string();
  if (slash == 0) return "/";
  return p.substr(0, slash);
}

// Whether a file begins with "#!" or the ELF magic, i.e. is meant to be run.
bool LooksExecutable(const std::string& native) {
  int fd = open(native.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  unsigned char head[4] = {0, 0, 0, 0};
  ssize_t n = read(fd, head, sizeof head);
  close(fd);
  if (n >= 2 && head[0] == '#' && head[1] == '!') return true;
  return n == 4 && head[0] == 0x7F && head[1] == 'E' && head[2] == 'L' && head[3] == 'F';
}

}  // namespace

uint32_t GetFileAttributesOf(const std::string& path) {
  struct stat st;
  if (stat(NativePath(path).c_str(), &st) != 0) return kInvalidFileAttributes;
  if (S_ISDIR(st.st_mode)) return kFileAttributeDirectory;
  return kFileAttributeArchive | (IsReadOnlyMode(st.st_mode) ? kFileAttributeReadOnly : 0);
}

int CreateOneFolder(const std::string& path) {
  std::string native = NativePath(path);
  if (mkdir(native.c_str(), 0777) == 0) return 0;
  return WindowsError(errno, native);
}

int64_t FreeSpaceFor(const std::string& path) {
  // The nearest existing folder of the path: the path itself or the first of its parents.
  std::string folder = NativePath(path);
  for (;;) {
    std::string probe = folder.empty() ? "." : folder;
    struct stat st;
    if (stat(probe.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
      struct statvfs vfs;
      if (statvfs(probe.c_str(), &vfs) != 0) return -1;
      unsigned long long bytes = static_cast<unsigned long long>(vfs.f_bavail) *
                                 static_cast<unsigned long long>(vfs.f_frsize);
      return bytes > static_cast<unsigned long long>(INT64_MAX) ? INT64_MAX
                                                                : static_cast<int64_t>(bytes);
    }
    if (folder.empty() || folder == "/") return -1;
    folder = ParentOf(folder);
  }
}

bool FileExists(const std::string& path) {
  struct stat st;
  return stat(NativePath(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

int64_t ExistingFileSize(const std::string& path) {
  std::string native = NativePath(path);
  struct stat st;
  if (stat(native.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) && IsReadOnlyMode(st.st_mode))
    throw EInOutError(kErrorAccessDenied);
  int fd = open(native.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) throw EInOutError(WindowsError(errno, native));
  if (fstat(fd, &st) != 0) {
    int err = errno;
    close(fd);
    throw EInOutError(WindowsError(err, native));
  }
  if (close(fd) != 0) throw EInOutError(WindowsError(errno, native));
  return static_cast<int64_t>(st.st_size);
}

bool SetFileDate(TFileStream& file, uint32_t dosDateTime) {
  if (!IsValidDosDateTime(dosDateTime)) return false;
  DosDateTime d = DecodeDosDateTime(dosDateTime);
  struct tm local;
  std::memset(&local, 0, sizeof local);
  local.tm_year = d.year - 1900;
  local.tm_mon = d.month - 1;
  local.tm_mday = d.day;
  local.tm_hour = d.hour;
  local.tm_min = d.minute;
  local.tm_sec = d.second;
  local.tm_isdst = -1;  // the time zone rules decide whether summer time applies
  time_t when = mktime(&local);
  if (when == static_cast<time_t>(-1)) return false;
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;  // the access time stays as it is
  times[1].tv_sec = when;
  times[1].tv_nsec = 0;
  return futimens(static_cast<int>(file.Handle()), times) == 0;
}

bool SetFileAttributesOf(const std::string& path, uint32_t attributes) {
  std::string native = NativePath(path);
  struct stat st;
  if (stat(native.c_str(), &st) != 0) return false;
  if (S_ISDIR(st.st_mode)) return true;  // Windows ignores the read-only bit of a folder too
  mode_t mode = st.st_mode & 07777;
  if (attributes & kFileAttributeReadOnly)
    mode &= ~kWriteBits;
  else
    mode |= S_IWUSR;
  if (LooksExecutable(native)) mode |= (mode & (S_IRUSR | S_IRGRP | S_IROTH)) >> 2;
  return chmod(native.c_str(), mode) == 0;
}

bool DeleteFileAt(const std::string& path) {
  std::string native = NativePath(path);
  struct stat st;
  if (lstat(native.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  if (S_ISREG(st.st_mode) && IsReadOnlyMode(st.st_mode)) return false;
  return unlink(native.c_str()) == 0;
}

std::string ModuleFileName() {
  char buffer[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer);
  if (n <= 0 || static_cast<size_t>(n) >= sizeof buffer) return std::string();
  return std::string(buffer, static_cast<size_t>(n));
}

uint32_t GetFileDosDateTime(const std::string& path) {
  struct stat st;
  if (stat(NativePath(path).c_str(), &st) != 0) return 0;
  struct tm local;
  if (localtime_r(&st.st_mtime, &local) == nullptr) return 0;
  return ClampedDosDateTime({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                             local.tm_min, local.tm_sec});
}

}  // namespace platform
