// Streams over standard input and output, and a sink that only counts what it is given. None of
// them can seek; asking for the current position is all the codec frame and the walk ever do.
#pragma once

#include <cstdint>
#include <cstdio>

#include "platform/stream.h"

namespace tools {

// Reads from or writes to a C stream (stdin, stdout), which the caller keeps open.
class TStdioStream : public platform::ByteStream {
 public:
  explicit TStdioStream(std::FILE* file) : file_(file) {}

  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, platform::SeekOrigin origin) override;

 private:
  std::FILE* file_;
  int64_t position_ = 0;  // bytes read or written so far
};

// Takes every byte and keeps only their number: the destination of `quarnel test`.
class TCountingSink : public platform::ByteStream {
 public:
  int32_t Read(void*, int32_t) override { return 0; }
  int32_t Write(const void*, int32_t count) override;
  int64_t Seek(int64_t offset, platform::SeekOrigin origin) override;

  int64_t Count() const noexcept { return count_; }

 private:
  int64_t count_ = 0;
};

}  // namespace tools
