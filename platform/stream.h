// Byte streams: the abstract ByteStream and its file, memory and resource variants.
//
// Read delivers what it can and returns the count (fewer at the end, never an error). Write
// returns the count taken. WriteBuffer is the write-all that raises EWriteError on a short write;
// ReadBuffer and CopyFrom raise EReadError when the source delivers fewer bytes than asked.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

enum class SeekOrigin { soBeginning, soCurrent, soEnd };

class ByteStream {
 public:
  virtual ~ByteStream() = default;
  ByteStream() = default;
  ByteStream(const ByteStream&) = delete;
  ByteStream& operator=(const ByteStream&) = delete;

  // Reads up to count bytes; returns the number delivered (0 at the end).
  virtual int32_t Read(void* buffer, int32_t count) = 0;
  // Writes up to count bytes; returns the number taken.
  virtual int32_t Write(const void* buffer, int32_t count) = 0;
  // Moves the position; returns the new absolute position, or -1 with the position unchanged
  // when it cannot be moved there (before the start, for one). A memory stream may be moved
  // beyond its end: reading there delivers nothing, writing there fills the gap with zeros.
  virtual int64_t Seek(int64_t offset, SeekOrigin origin) = 0;

  int64_t Position() { return Seek(0, SeekOrigin::soCurrent); }
  int64_t Size();

  // Reads exactly count bytes or raises EReadError.
  void ReadBuffer(void* buffer, int32_t count);
  // Writes all count bytes or raises EWriteError.
  void WriteBuffer(const void* buffer, int32_t count);
  // Copies exactly count bytes from source to this stream, in blocks; EReadError when the source
  // delivers fewer, EWriteError when this stream takes fewer. Returns count.
  int64_t CopyFrom(ByteStream& source, int64_t count);
};

// A stream over a file. fmCreate: read and write, no sharing, an existing file is replaced
// (EFCreateError when it cannot be created; a read-only file is never replaced). fmOpenRead:
// an existing file, read only, others may read (EFOpenError, an EFCreateError, naming the path
// when it cannot be opened).
class TFileStream : public ByteStream {
 public:
  enum Mode { fmCreate, fmOpenRead };
  TFileStream(const std::string& path, Mode mode);
  ~TFileStream() override;

  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;

  // The OS handle (a HANDLE on Windows, a file descriptor on POSIX), for SetFileDate.
  intptr_t Handle() const noexcept { return handle_; }

 private:
  intptr_t handle_;
};

// A growable stream in memory.
class TMemoryStream : public ByteStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> bytes) : data_(std::move(bytes)) {}

  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;

  const std::vector<uint8_t>& Bytes() const noexcept { return data_; }
  std::vector<uint8_t>& Bytes() noexcept { return data_; }

 private:
  std::vector<uint8_t> data_;
  size_t position_ = 0;
};

// A read-only stream over the bytes of a module resource (see resources.h). Writing takes nothing.
class TResourceStream : public ByteStream {
 public:
  explicit TResourceStream(std::vector<uint8_t> bytes) : data_(std::move(bytes)) {}

  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;

 private:
  std::vector<uint8_t> data_;
  size_t position_ = 0;
};

}  // namespace platform
