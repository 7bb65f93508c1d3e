// The portable streams: ByteStream's fixed-count helpers, TMemoryStream and TResourceStream.
// TFileStream lives in the backends.
#include "platform/stream.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <stdexcept>

#include "platform/exceptions.h"

namespace platform {
namespace {

// Block size of CopyFrom; the buffer lives on the stack.
constexpr int32_t kCopyBlockSize = 8192;

// New position of a stream over size bytes, or -1 when it would lie before the start.
int64_t TargetPosition(int64_t offset, SeekOrigin origin, size_t position, size_t size) {
  int64_t base = origin == SeekOrigin::soBeginning ? 0
                 : origin == SeekOrigin::soCurrent ? static_cast<int64_t>(position)
                                                   : static_cast<int64_t>(size);
  if (offset < 0 && base + offset < 0) return -1;
  if (offset > 0 && base > INT64_MAX - offset) return -1;
  if (static_cast<uint64_t>(base + offset) > SIZE_MAX) return -1;
  return base + offset;
}

int32_t ReadFromBytes(const std::vector<uint8_t>& data, size_t& position, void* buffer,
                      int32_t count) {
  if (count <= 0 || position >= data.size()) return 0;
  size_t n = std::min(static_cast<size_t>(count), data.size() - position);
  std::memcpy(buffer, data.data() + position, n);
  position += n;
  return static_cast<int32_t>(n);
}

}  // namespace

int64_t ByteStream::Size() {
  int64_t here = Seek(0, SeekOrigin::soCurrent);
  int64_t end = Seek(0, SeekOrigin::soEnd);
  Seek(here, SeekOrigin::soBeginning);
  return end;
}

void ByteStream::ReadBuffer(void* buffer, int32_t count) {
  if (count > 0 && Read(buffer, count) != count) throw EReadError();
}

void ByteStream::WriteBuffer(const void* buffer, int32_t count) {
  if (count > 0 && Write(buffer, count) != count) throw EWriteError();
}

int64_t ByteStream::CopyFrom(ByteStream& source, int64_t count) {
  uint8_t block[kCopyBlockSize];
  int64_t left = count;
  while (left > 0) {
    int32_t n = static_cast<int32_t>(std::min<int64_t>(left, kCopyBlockSize));
    source.ReadBuffer(block, n);
    WriteBuffer(block, n);
    left -= n;
  }
  return count > 0 ? count : 0;
}

int32_t TMemoryStream::Read(void* buffer, int32_t count) {
  return ReadFromBytes(data_, position_, buffer, count);
}

int32_t TMemoryStream::Write(const void* buffer, int32_t count) {
  if (count <= 0) return 0;
  if (static_cast<size_t>(count) > SIZE_MAX - position_) throw EOutOfMemory();
  try {
    if (position_ + static_cast<size_t>(count) > data_.size())
      data_.resize(position_ + static_cast<size_t>(count));
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory();
  } catch (const std::length_error&) {
    throw EOutOfMemory();
  }
  std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(count));
  position_ += static_cast<size_t>(count);
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, SeekOrigin origin) {
  int64_t target = TargetPosition(offset, origin, position_, data_.size());
  if (target < 0) return -1;
  position_ = static_cast<size_t>(target);
  return target;
}

int32_t TResourceStream::Read(void* buffer, int32_t count) {
  return ReadFromBytes(data_, position_, buffer, count);
}

int32_t TResourceStream::Write(const void*, int32_t) {
  return 0;
}

int64_t TResourceStream::Seek(int64_t offset, SeekOrigin origin) {
  int64_t target = TargetPosition(offset, origin, position_, data_.size());
  if (target < 0) return -1;
  position_ = static_cast<size_t>(target);
  return target;
}

}  // namespace platform
