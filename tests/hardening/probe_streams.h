// Streams for the hardening tests: a source over bytes in memory that records every read and
// seek it is asked for, and a destination that takes only a fixed number of bytes, as a full disk
// does.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/stream.h"

namespace hardening {

// One call on a RecordingSource: a read of count bytes at position at, or a seek that moved the
// position from at to to.
struct SourceCall {
  enum Kind { kRead, kSeek } kind;
  int64_t at;
  int64_t count;  // reads: the count asked for
  int64_t to;     // seeks: the new position (-1 when refused)
};

class RecordingSource : public platform::ByteStream {
 public:
  explicit RecordingSource(std::vector<uint8_t> bytes) : inner_(std::move(bytes)) {}

  int32_t Read(void* buffer, int32_t count) override {
    calls_.push_back({SourceCall::kRead, inner_.Position(), count, 0});
    return inner_.Read(buffer, count);
  }
  int32_t Write(const void*, int32_t) override { return 0; }
  int64_t Seek(int64_t offset, platform::SeekOrigin origin) override {
    const int64_t from = inner_.Position();
    const int64_t to = inner_.Seek(offset, origin);
    // Position queries move nothing and are not recorded.
    if (!(offset == 0 && origin == platform::SeekOrigin::soCurrent))
      calls_.push_back({SourceCall::kSeek, from, 0, to});
    return to;
  }

  const std::vector<SourceCall>& Calls() const noexcept { return calls_; }

 private:
  platform::TMemoryStream inner_;
  std::vector<SourceCall> calls_;
};

// Takes the first limit bytes written to it and refuses the rest.
class LimitedStream : public platform::ByteStream {
 public:
  explicit LimitedStream(size_t limit) : limit_(limit) {}

  int32_t Read(void*, int32_t) override { return 0; }
  int32_t Write(const void* buffer, int32_t count) override {
    if (count <= 0) return 0;
    const size_t take = std::min(static_cast<size_t>(count), limit_ - bytes_.size());
    const uint8_t* p = static_cast<const uint8_t*>(buffer);
    bytes_.insert(bytes_.end(), p, p + take);
    return static_cast<int32_t>(take);
  }
  int64_t Seek(int64_t offset, platform::SeekOrigin origin) override {
    // Only the position queries of a writer are answered.
    if (offset == 0 && origin != platform::SeekOrigin::soBeginning)
      return static_cast<int64_t>(bytes_.size());
    return -1;
  }

  const std::vector<uint8_t>& Bytes() const noexcept { return bytes_; }

 private:
  size_t limit_;
  std::vector<uint8_t> bytes_;
};

}  // namespace hardening
