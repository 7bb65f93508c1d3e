// Streams over standard input and output, and the counting sink.
#include "tools/stdio_stream.h"

#include "platform/exceptions.h"

namespace tools {
namespace {

[[noreturn]] void CannotSeek() {
  throw platform::Exception("stream cannot seek");
}

}  // namespace

int32_t TStdioStream::Read(void* buffer, int32_t count) {
  if (count <= 0) return 0;
  size_t n = std::fread(buffer, 1, static_cast<size_t>(count), file_);
  position_ += static_cast<int64_t>(n);
  return static_cast<int32_t>(n);
}

int32_t TStdioStream::Write(const void* buffer, int32_t count) {
  if (count <= 0) return 0;
  size_t n = std::fwrite(buffer, 1, static_cast<size_t>(count), file_);
  // Flush so that a full disk or a closed pipe shows as a short write here and not at exit.
  if (std::fflush(file_) != 0) n = 0;
  position_ += static_cast<int64_t>(n);
  return static_cast<int32_t>(n);
}

int64_t TStdioStream::Seek(int64_t offset, platform::SeekOrigin origin) {
  if (offset != 0 || origin != platform::SeekOrigin::soCurrent) CannotSeek();
  return position_;
}

int32_t TCountingSink::Write(const void*, int32_t count) {
  if (count <= 0) return 0;
  count_ += count;
  return count;
}

int64_t TCountingSink::Seek(int64_t offset, platform::SeekOrigin origin) {
  if (offset != 0 || origin != platform::SeekOrigin::soCurrent) CannotSeek();
  return count_;
}

}  // namespace tools
