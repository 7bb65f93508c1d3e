// The archive records: the launcher's archive header and first entry header, byte for byte.
#include "expander/archive_format.h"

#include <gtest/gtest.h>

#include "platform/fs.h"

namespace {

using namespace expander;

// "ZOLT" 1A "LZH", TotalSize CA 0B 18 00, type 01, eight zero bytes.
const ArchiveHeaderBytes kLauncherHeader = {0x5A, 0x4F, 0x4C, 0x54, 0x1A, 0x4C, 0x5A,
                                            0x48, 0xCA, 0x0B, 0x18, 0x00, 0x01, 0x00,
                                            0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
const EntryHeaderBytes kLauncherFirstEntry = {
    0x0A, 0x00,              // NameLength 10
    0x91, 0x80, 0xC4, 0x22,  // FileDate: date 0x22C4, time 0x8091
    0x20, 0x00,              // Attributes: archive
    0xE6, 0x01, 0x00, 0x00,  // ExpandedSize 486
    0x0F, 0x01, 0x00, 0x00,  // StoredSize 271
    0x02,                    // MethodCode mtLZH
    0xF8, 0x9C, 0x00, 0x00,  // Checksum 40184
    0x00, 0x00, 0x00, 0x00,  // Locked 0
};

TEST(ArchiveRecords, LauncherArchiveHeaderDecodesAndEncodesBack) {
  const ArchiveHeader h = DecodeArchiveHeader(kLauncherHeader);
  EXPECT_TRUE(h.HasSignature());
  EXPECT_EQ(h.MethodIdString(), "LZH");
  EXPECT_EQ(h.TotalSize, 1575882);
  EXPECT_EQ(h.ArchiveType, caFileSet);
  EXPECT_EQ(h.Reserved, (std::array<uint8_t, 8>{}));
  EXPECT_EQ(EncodeArchiveHeader(h), kLauncherHeader);
  EXPECT_EQ(EncodeArchiveHeader(MakeArchiveHeader("LZH", 1575882)), kLauncherHeader);
}

TEST(ArchiveRecords, LauncherFirstEntryDecodesAndEncodesBack) {
  const EntryHeader e = DecodeEntryHeader(kLauncherFirstEntry);
  EXPECT_EQ(e.NameLength, 10);
  EXPECT_EQ(e.FileDate, 0x22C48091u);
  EXPECT_EQ(e.Attributes, 0x20);
  EXPECT_EQ(e.ExpandedSize, 486);
  EXPECT_EQ(e.StoredSize, 271);
  EXPECT_EQ(e.MethodCode, mtLZH);
  EXPECT_EQ(e.Checksum, 40184u);
  EXPECT_EQ(e.Locked, 0);
  EXPECT_EQ(EncodeEntryHeader(e), kLauncherFirstEntry);

  const platform::DosDateTime t = platform::DecodeDosDateTime(e.FileDate);
  EXPECT_EQ((std::array<int, 6>{t.year, t.month, t.day, t.hour, t.minute, t.second}),
            (std::array<int, 6>{1997, 6, 4, 16, 4, 34}));
}

// Fields with the top bit set keep their sign where the format declares them signed.
TEST(ArchiveRecords, SignedFieldsAndHighBitsRoundTrip) {
  EntryHeader e;
  e.NameLength = -1;
  e.FileDate = 0xFFFFFFFF;
  e.Attributes = 0x8001;
  e.ExpandedSize = -2;
  e.StoredSize = INT32_MIN;
  e.MethodCode = 0xFF;
  e.Checksum = 0x80000000;
  e.Locked = -5;
  const EntryHeaderBytes bytes = EncodeEntryHeader(e);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xFF);
  EXPECT_EQ(bytes[15], 0x80);  // top byte of StoredSize
  const EntryHeader back = DecodeEntryHeader(bytes);
  EXPECT_EQ(back.NameLength, -1);
  EXPECT_EQ(back.ExpandedSize, -2);
  EXPECT_EQ(back.StoredSize, INT32_MIN);
  EXPECT_EQ(back.Checksum, 0x80000000u);
  EXPECT_EQ(back.Locked, -5);
  EXPECT_EQ(back.Attributes, 0x8001);
}

}  // namespace
