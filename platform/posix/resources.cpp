// Module resources on POSIX: the resource table (restable.h) at the end of an ELF file, read
// piecewise so that a large executable is not loaded whole.
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <new>

#include "platform/exceptions.h"
#include "platform/posix/native_path.h"
#include "platform/resources.h"
#include "platform/restable.h"

namespace platform {
namespace {

constexpr unsigned char kElfMagic[4] = {0x7F, 'E', 'L', 'F'};

// An open file descriptor, closed on every way out.
class FileHandle {
 public:
  explicit FileHandle(const std::string& nativePath)
      : fd_(open(nativePath.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~FileHandle() {
    if (fd_ >= 0) close(fd_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  int Fd() const { return fd_; }

  // Reads exactly count bytes at offset; false on a short read.
  bool ReadAt(uint64_t offset, void* buffer, size_t count) const {
    size_t done = 0;
    while (done < count) {
      ssize_t n = pread(fd_, static_cast<char*>(buffer) + done, count - done,
                        static_cast<off_t>(offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      done += static_cast<size_t>(n);
    }
    return true;
  }

 private:
  int fd_;
};

// The bytes of the resource in the open file; EResNotFound naming it when it is not there.
std::vector<uint8_t> ResourceFromFile(const FileHandle& file, const std::string& type,
                                      const std::string& name) {
  struct stat st;
  if (file.Fd() < 0 || fstat(file.Fd(), &st) != 0) throw EResNotFound(name);
  uint64_t size = static_cast<uint64_t>(st.st_size);
  uint8_t last[kResourceTrailerSize];
  ResourceTrailer trailer;
  if (size < kResourceTrailerSize ||
      !file.ReadAt(size - kResourceTrailerSize, last, kResourceTrailerSize) ||
      !ParseResourceTrailer(last, size, trailer))
    throw EResNotFound(name);
  std::vector<uint8_t> table(
      static_cast<size_t>(size - kResourceTrailerSize - trailer.tableOffset));
  std::vector<ResourceEntry> entries;
  if (!file.ReadAt(trailer.tableOffset, table.data(), table.size()) ||
      !ParseResourceEntries(table.data(), table.size(), trailer, entries))
    throw EResNotFound(name);
  const ResourceEntry* entry = FindResourceEntry(entries, type, name);
  if (entry == nullptr) throw EResNotFound(name);
  std::vector<uint8_t> bytes;
  try {
    bytes.resize(entry->size);
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory();
  }
  if (!file.ReadAt(entry->offset, bytes.data(), bytes.size())) throw EResNotFound(name);
  return bytes;
}

}  // namespace

std::vector<uint8_t> LoadOwnResource(const std::string& type, const std::string& name) {
  FileHandle self("/proc/self/exe");
  return ResourceFromFile(self, type, name);
}

bool LoadLibraryResource(const std::string& libName, const std::string& type,
                         const std::string& name, std::vector<uint8_t>& bytes) {
  std::string native = posix::NativePath(libName);
  struct stat st;
  if (stat(native.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  FileHandle file(native);
  unsigned char magic[4];
  if (file.Fd() < 0 || !file.ReadAt(0, magic, sizeof magic) ||
      std::memcmp(magic, kElfMagic, sizeof magic) != 0)
    return false;
  bytes = ResourceFromFile(file, type, name);
  return true;
}

}  // namespace platform
