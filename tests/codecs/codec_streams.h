// Streams and a runner for the codec tests: a source that records every read request, a
// destination that records every write and may take only a limited number of bytes.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "codecs/frame.h"
#include "platform/stream.h"

namespace codectest {

using Bytes = std::vector<uint8_t>;

// Serves the bytes it holds, at most maxPerRead per Read call; Requests lists the count asked by
// each call.
class RecordingSource : public platform::ByteStream {
 public:
  explicit RecordingSource(Bytes bytes, size_t maxPerRead = SIZE_MAX)
      : bytes_(std::move(bytes)), maxPerRead_(maxPerRead) {}

  int32_t Read(void* buffer, int32_t count) override {
    Requests.push_back(count);
    const size_t n = std::min({static_cast<size_t>(count), bytes_.size() - position_, maxPerRead_});
    if (n) std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
    return static_cast<int32_t>(n);
  }
  int32_t Write(const void*, int32_t) override { return 0; }
  int64_t Seek(int64_t offset, platform::SeekOrigin origin) override {
    if (origin == platform::SeekOrigin::soCurrent && offset == 0)
      return static_cast<int64_t>(position_);
    return -1;
  }

  std::vector<int32_t> Requests;

 private:
  Bytes bytes_;
  size_t maxPerRead_;
  size_t position_ = 0;
};

// Delivers one byte value for ever, without holding the bytes.
class EndlessBytes : public platform::ByteStream {
 public:
  explicit EndlessBytes(uint8_t value) : value_(value) {}
  int32_t Read(void* buffer, int32_t count) override {
    std::memset(buffer, value_, static_cast<size_t>(count));
    return count;
  }
  int32_t Write(const void*, int32_t) override { return 0; }
  int64_t Seek(int64_t, platform::SeekOrigin) override { return -1; }

 private:
  uint8_t value_;
};

// Takes everything and only counts it.
class CountingSink : public platform::ByteStream {
 public:
  int32_t Read(void*, int32_t) override { return 0; }
  int32_t Write(const void*, int32_t count) override {
    Count += static_cast<uint64_t>(count);
    return count;
  }
  int64_t Seek(int64_t, platform::SeekOrigin) override { return static_cast<int64_t>(Count); }

  uint64_t Count = 0;
};

// Keeps what it is given; Writes lists the count of each Write call. With a capacity it takes
// only that many bytes in total.
class RecordingSink : public platform::ByteStream {
 public:
  explicit RecordingSink(size_t capacity = SIZE_MAX) : capacity_(capacity) {}

  int32_t Read(void*, int32_t) override { return 0; }
  int32_t Write(const void* buffer, int32_t count) override {
    Writes.push_back(count);
    const size_t n = std::min(static_cast<size_t>(count), capacity_ - Data.size());
    const uint8_t* p = static_cast<const uint8_t*>(buffer);
    Data.insert(Data.end(), p, p + n);
    return static_cast<int32_t>(n);
  }
  int64_t Seek(int64_t offset, platform::SeekOrigin origin) override {
    if (origin == platform::SeekOrigin::soCurrent && offset == 0)
      return static_cast<int64_t>(Data.size());
    return -1;
  }

  Bytes Data;
  std::vector<int32_t> Writes;

 private:
  size_t capacity_;
};

struct RunResult {
  Bytes Output;
  uint32_t Checksum = 0;
};

// One RunCodec over bytes in memory; the whole input is the run's source.
inline RunResult RunOnce(uint8_t method, codecs::TCProcessMode mode, const Bytes& input,
                         int32_t destSize = 0, const codecs::TShowProgressEvent& progress = {}) {
  RecordingSource source(input);
  RecordingSink sink;
  RunResult result;
  codecs::RunCodec(progress, sink, source, static_cast<int32_t>(input.size()), destSize, method,
                   result.Checksum, mode);
  result.Output = std::move(sink.Data);
  return result;
}

inline uint32_t SumOf(const Bytes& bytes) {
  uint32_t sum = 0;
  for (uint8_t b : bytes) sum += b;
  return sum;
}

}  // namespace codectest
