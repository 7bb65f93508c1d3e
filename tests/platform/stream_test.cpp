// Streams: read counts, write-all, seeking, CopyFrom, and the file stream's create mode.
#include "platform/stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/exceptions.h"
#include "platform/fs.h"
#include "support/tempdir.h"

namespace platform {
namespace {

// A memory stream that takes only the first `capacity` bytes written to it, as a full disk.
class LimitedStream : public TMemoryStream {
 public:
  explicit LimitedStream(int32_t capacity) : capacity_(capacity) {}
  int32_t Write(const void* buffer, int32_t count) override {
    int32_t room = capacity_ - static_cast<int32_t>(Bytes().size());
    return TMemoryStream::Write(buffer, count < room ? count : room);
  }

 private:
  int32_t capacity_;
};

std::vector<uint8_t> Sequence(size_t n) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 7 + 1);
  return v;
}

TEST(MemoryStream, ReadDeliversWhatIsThere) {
  TMemoryStream s(Sequence(10));
  uint8_t buf[8];
  EXPECT_EQ(s.Read(buf, 6), 6);
  EXPECT_EQ(s.Read(buf, 8), 4);  // fewer at the end, no error
  EXPECT_EQ(buf[3], Sequence(10)[9]);
  EXPECT_EQ(s.Read(buf, 8), 0);
  EXPECT_EQ(s.Read(buf, -1), 0);
}

TEST(MemoryStream, SeekAbsoluteRelativeAndFromEnd) {
  TMemoryStream s(Sequence(10));
  EXPECT_EQ(s.Seek(4, SeekOrigin::soBeginning), 4);
  EXPECT_EQ(s.Seek(3, SeekOrigin::soCurrent), 7);
  EXPECT_EQ(s.Seek(-2, SeekOrigin::soCurrent), 5);
  EXPECT_EQ(s.Seek(-1, SeekOrigin::soEnd), 9);
  EXPECT_EQ(s.Size(), 10);
  EXPECT_EQ(s.Position(), 9);  // Size leaves the position where it was
  // Before the start: refused, position kept.
  EXPECT_EQ(s.Seek(-20, SeekOrigin::soCurrent), -1);
  EXPECT_EQ(s.Position(), 9);
  // Beyond the end: reading delivers nothing, writing fills the gap with zeros.
  EXPECT_EQ(s.Seek(12, SeekOrigin::soBeginning), 12);
  uint8_t b = 0xEE;
  EXPECT_EQ(s.Read(&b, 1), 0);
  s.WriteBuffer(&b, 1);
  ASSERT_EQ(s.Bytes().size(), 13u);
  EXPECT_EQ(s.Bytes()[10], 0);
  EXPECT_EQ(s.Bytes()[11], 0);
  EXPECT_EQ(s.Bytes()[12], 0xEE);
}

TEST(StreamWriteAll, ShortWriteRaisesWriteError) {
  auto data = Sequence(100);
  LimitedStream full(40);
  EXPECT_EQ(full.Write(data.data(), 100), 40);
  LimitedStream s(40);
  s.WriteBuffer(data.data(), 40);  // exactly the capacity: fine
  try {
    s.WriteBuffer(data.data(), 1);
    FAIL() << "no EWriteError";
  } catch (const EWriteError& e) {
    EXPECT_EQ(e.Message(), "Stream-Write-Fehler ");
  }
}

TEST(StreamReadBuffer, ShortReadRaisesReadError) {
  TMemoryStream s(Sequence(5));
  uint8_t buf[8];
  s.ReadBuffer(buf, 0);
  EXPECT_THROW(s.ReadBuffer(buf, 6), EReadError);
}

TEST(StreamCopyFrom, CopiesExactlyCountAcrossBlocks) {
  auto data = Sequence(20000);
  TMemoryStream source(data);
  source.Seek(100, SeekOrigin::soBeginning);
  TMemoryStream dest;
  EXPECT_EQ(dest.CopyFrom(source, 17000), 17000);
  EXPECT_EQ(source.Position(), 17100);
  EXPECT_TRUE(std::equal(dest.Bytes().begin(), dest.Bytes().end(), data.begin() + 100));
  EXPECT_EQ(dest.CopyFrom(source, 0), 0);
  EXPECT_EQ(dest.Bytes().size(), 17000u);
}

TEST(StreamCopyFrom, SourceEndingEarlyRaisesReadError) {
  TMemoryStream source(Sequence(9000));
  TMemoryStream dest;
  try {
    dest.CopyFrom(source, 9001);
    FAIL() << "no EReadError";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "Stream-Read-Fehler ");
  }
  EXPECT_EQ(dest.Bytes().size(), 8192u);  // the full first block went through
}

TEST(StreamCopyFrom, DestinationTakingFewerRaisesWriteError) {
  TMemoryStream source(Sequence(100));
  LimitedStream dest(50);
  EXPECT_THROW(dest.CopyFrom(source, 100), EWriteError);
}

TEST(ResourceStream, ReadOnly) {
  TResourceStream s(Sequence(4));
  uint8_t b = 1;
  EXPECT_EQ(s.Write(&b, 1), 0);
  EXPECT_THROW(s.WriteBuffer(&b, 1), EWriteError);
  uint8_t buf[4];
  s.ReadBuffer(buf, 4);
  EXPECT_EQ(std::memcmp(buf, Sequence(4).data(), 4), 0);
  EXPECT_EQ(s.Seek(-4, SeekOrigin::soEnd), 0);
}

TEST(FileStream, CreateModeReplacesAndReadsBack) {
  testsupport::TempDir dir;
  std::string path = dir.Folder() + "out.bin";
  { std::ofstream(path, std::ios::binary) << "an older and longer content"; }
  auto data = Sequence(10000);
  {
    TFileStream f(path, TFileStream::fmCreate);
    f.WriteBuffer(data.data(), 10000);
    EXPECT_EQ(f.Size(), 10000);
    EXPECT_EQ(f.Seek(-10, SeekOrigin::soEnd), 9990);
    uint8_t tail[16];
    EXPECT_EQ(f.Read(tail, 16), 10);  // create mode reads too
    EXPECT_EQ(tail[9], data[9999]);
  }
  TFileStream r(path, TFileStream::fmOpenRead);
  std::vector<uint8_t> back(10001);
  EXPECT_EQ(r.Read(back.data(), 10001), 10000);
  back.resize(10000);
  EXPECT_EQ(back, data);
  uint8_t b = 0;
  EXPECT_EQ(r.Write(&b, 1), 0);  // opened for reading only
}

TEST(FileStream, FailuresNameThePath) {
  testsupport::TempDir dir;
  std::string missing = dir.Folder() + "no-such-folder" +
                        static_cast<char>(std::filesystem::path::preferred_separator) + "f.bin";
  try {
    TFileStream f(missing, TFileStream::fmCreate);
    FAIL() << "created";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), "Datei " + missing + " kann nicht erstellt werden");
  }
  try {
    TFileStream f(missing, TFileStream::fmOpenRead);
    FAIL() << "opened";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), ToSystemCodePage("Datei " + missing + " kann nicht geöffnet werden"));
  }
  // A read-only file is not replaced, whoever runs the test.
  std::string readOnly = dir.Folder() + "ro.bin";
  { TFileStream(readOnly, TFileStream::fmCreate).WriteBuffer("keep", 4); }
  ASSERT_TRUE(SetFileAttributesOf(readOnly, kFileAttributeReadOnly));
  EXPECT_THROW(TFileStream(readOnly, TFileStream::fmCreate), EFCreateError);
  EXPECT_EQ(std::filesystem::file_size(readOnly), 4u);
  // A folder is no file to create.
  EXPECT_THROW(TFileStream(dir.Folder(), TFileStream::fmCreate), EFCreateError);
}

#ifdef _WIN32
// Create mode shares nothing: while the file is being written, nobody else opens it.
TEST(FileStream, CreateModeSharesNothing) {
  testsupport::TempDir dir;
  std::string path = dir.Folder() + "busy.bin";
  TFileStream writer(path, TFileStream::fmCreate);
  EXPECT_THROW(TFileStream(path, TFileStream::fmOpenRead), EFOpenError);
  EXPECT_THROW(ExistingFileSize(path), EInOutError);
}
#endif

}  // namespace
}  // namespace platform
