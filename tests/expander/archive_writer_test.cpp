// The archive writer: what it puts in the headers, entries from files, and the overrides that
// make malformed archives.
#include "tools/archive_writer.h"

#include <gtest/gtest.h>

#include "archive_fixture.h"
#include "expander/quarnel.h"
#include "platform/fs.h"
#include "support/tempdir.h"

namespace {

using namespace expander;
using namespace expandertest;
using platform::TMemoryStream;

EntryHeader EntryAt(const TMemoryStream& archive, size_t offset) {
  EntryHeaderBytes raw;
  std::copy_n(archive.Bytes().begin() + static_cast<std::ptrdiff_t>(offset), EntryHeaderSize,
              raw.begin());
  return DecodeEntryHeader(raw);
}

TEST(ArchiveWriter, HeadersDescribeTheData) {
  tools::EntryOptions locked = Method(mtRLE);
  locked.LockKey = 1000;
  TMemoryStream archive = MakeArchive(
      "RLE", {{"a.txt", Bytes("AAAAAB"), Method(mtRLE)}, {"dir\\b.txt", Bytes("xyz"), locked}});

  ArchiveHeaderBytes rawHeader;
  std::copy_n(archive.Bytes().begin(), ArchiveHeaderSize, rawHeader.begin());
  const ArchiveHeader header = DecodeArchiveHeader(rawHeader);
  EXPECT_TRUE(header.HasSignature());
  EXPECT_EQ(header.MethodIdString(), "RLE");
  EXPECT_EQ(header.TotalSize, 9);
  EXPECT_EQ(header.ArchiveType, caFileSet);

  const EntryHeader first = EntryAt(archive, ArchiveHeaderSize);
  EXPECT_EQ(first.NameLength, 5);
  EXPECT_EQ(first.FileDate, kSampleDate);
  EXPECT_EQ(first.ExpandedSize, 6);
  EXPECT_EQ(first.StoredSize, 4);  // 41 94 05 42
  EXPECT_EQ(first.MethodCode, mtRLE);
  EXPECT_EQ(first.Checksum, 391u);
  EXPECT_EQ(first.Locked, 0);
  const std::vector<uint8_t> stored(archive.Bytes().begin() + ArchiveHeaderSize + 25 + 5,
                                    archive.Bytes().begin() + ArchiveHeaderSize + 25 + 5 + 4);
  EXPECT_EQ(stored, (std::vector<uint8_t>{0x41, 0x94, 0x05, 0x42}));

  const EntryHeader second = EntryAt(archive, ArchiveHeaderSize + 25 + 5 + 4);
  EXPECT_EQ(second.Locked, 1);
  EXPECT_EQ(second.Checksum, static_cast<uint32_t>('x' + 'y' + 'z' + 1000));
  EXPECT_EQ(archive.Bytes().size(), size_t{ArchiveHeaderSize + 25 + 5 + 4 + 25 + 9 + 3});
}

// Every entry field can be overridden; the name and data are written as they are.
TEST(ArchiveWriter, EntryOverrides) {
  tools::EntryOptions o = Method(mtNone);
  o.Override = {int16_t{-3}, 0x11111111u,  uint16_t{0x8001}, int32_t{-7},
                int32_t{99}, uint8_t{200}, 0x22222222u,      int32_t{-1}};
  TMemoryStream archive = MakeArchive("NON", {{"n", Bytes("dd"), o}});
  const EntryHeader e = EntryAt(archive, ArchiveHeaderSize);
  EXPECT_EQ(e.NameLength, -3);
  EXPECT_EQ(e.FileDate, 0x11111111u);
  EXPECT_EQ(e.Attributes, 0x8001);
  EXPECT_EQ(e.ExpandedSize, -7);
  EXPECT_EQ(e.StoredSize, 99);
  EXPECT_EQ(e.MethodCode, 200);
  EXPECT_EQ(e.Checksum, 0x22222222u);
  EXPECT_EQ(e.Locked, -1);
  EXPECT_EQ(archive.Bytes().size(), size_t{ArchiveHeaderSize + 25 + 1 + 2});
}

// An entry from a file takes its bytes, date and read-only bit from the file; the archive then
// reproduces them.
TEST(ArchiveWriter, FileEntryRoundTrip) {
  testsupport::TempDir src, dst;
  const std::string path = src.Folder() + "input.bin";
  std::vector<uint8_t> data(30000);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>((i / 50) * (i % 3));
  {
    platform::TFileStream f(path, platform::TFileStream::fmCreate);
    f.WriteBuffer(data.data(), static_cast<int32_t>(data.size()));
    ASSERT_TRUE(platform::SetFileDate(f, kSampleDate));
  }
  ASSERT_TRUE(platform::SetFileAttributesOf(path, platform::kFileAttributeReadOnly));

  for (uint8_t method : {mtNone, mtRLE, mtLZH}) {
    SCOPED_TRACE(static_cast<int>(method));
    TMemoryStream archive;
    tools::ArchiveWriter writer(archive, MethodIdFor(method));
    tools::EntryOptions o;
    o.Method = method;
    const EntryHeader h = writer.AddFile(path, "sub\\copy.bin", o);
    writer.Finish();
    EXPECT_EQ(h.FileDate, kSampleDate);
    EXPECT_EQ(h.Attributes & 1u, 1u);
    EXPECT_EQ(h.ExpandedSize, 30000);

    testsupport::TempDir out;
    TQuarnel q;
    q.SetTargetPath(out.Folder());
    q.MakeDirectories = true;
    q.ExtractArchive(archive, nullptr);
    const std::string copy = out.Folder() + "sub\\copy.bin";
    EXPECT_EQ(ReadFile(copy), data);
    EXPECT_EQ(platform::GetFileDosDateTime(copy), kSampleDate);
    EXPECT_EQ(platform::GetFileAttributesOf(copy) & 1u, 1u);
  }
}

TEST(ArchiveWriter, TruncatedFile) {
  testsupport::TempDir dir;
  const std::string path = dir.Folder() + "archive.zlt";
  {
    platform::TFileStream f(path, platform::TFileStream::fmCreate);
    tools::ArchiveWriter writer(f, "NON");
    writer.AddBuffer("a.txt", Bytes("abc"), Method(mtNone));
    EXPECT_EQ(writer.Finish(), ArchiveHeaderSize + 25 + 5 + 3);
  }
  tools::TruncateFile(path, ArchiveHeaderSize + 10);
  EXPECT_EQ(ReadFile(path).size(), size_t{ArchiveHeaderSize + 10});
}

}  // namespace
