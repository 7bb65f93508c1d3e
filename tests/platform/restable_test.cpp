// The resource table appended to an ELF file: layout, lookup, replacement and damaged tables.
#include "platform/restable.h"

#include <gtest/gtest.h>

#include "platform/exceptions.h"

namespace platform {
namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> list) {
  std::vector<uint8_t> v;
  for (int b : list) v.push_back(static_cast<uint8_t>(b));
  return v;
}

const std::vector<uint8_t> kImage = Bytes({0x7F, 'E', 'L', 'F'});

TEST(ResourceTableLayout, DocumentedExample) {
  std::vector<uint8_t> out = WriteResourceTable(kImage, {{"T", "N", {0xAA}}});
  std::vector<uint8_t> expected = Bytes({
      0x7F, 0x45, 0x4C, 0x46,  // the image
      0xAA,                    // data of the one resource
      0x04, 0,    0,    0,    0x01, 0,   0,   0,
      0x01, 0,    0x01, 0,                          // offset 4, size 1, lengths 1 and 1
      'T',  'N',                                    // type, name
      0x04, 0,    0,    0,                          // ImageEnd
      0x05, 0,    0,    0,                          // TableOffset
      0x01, 0,    0,    0,                          // Count
      0x01, 0,    0,    0,                          // Version
      'Q',  'R',  'N',  'L',  'R',  'S', 'R', 'C',  // magic
  });
  EXPECT_EQ(out, expected);
}

TEST(ResourceTable, WriteThenFindWithoutRegardToCase) {
  std::vector<uint8_t> archive(3000, 0x5A);
  std::vector<uint8_t> out = WriteResourceTable(kImage, {{"TQUARNEL", "MyArchiv", archive},
                                                         {"TQUARNEL", "Other", {1, 2, 3}},
                                                         {"RCDATA", "MyArchiv", {9}}});
  ResourceTrailer trailer;
  std::vector<ResourceEntry> entries;
  ASSERT_TRUE(ParseResourceTable(out, trailer, entries));
  EXPECT_EQ(trailer.imageEnd, kImage.size());
  ASSERT_EQ(entries.size(), 3u);
  const ResourceEntry* e = FindResourceEntry(entries, "tquarnel", "MYARCHIV");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->name, "MyArchiv");  // kept as written
  EXPECT_EQ(std::vector<uint8_t>(out.begin() + e->offset, out.begin() + e->offset + e->size),
            archive);
  const ResourceEntry* r = FindResourceEntry(entries, "rcdata", "myarchiv");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(out[r->offset], 9);
  EXPECT_EQ(FindResourceEntry(entries, "TQUARNEL", "MyArchi"), nullptr);
  EXPECT_EQ(FindResourceEntry(entries, "TQUARNE", "MyArchiv"), nullptr);
  // The image in front is untouched.
  EXPECT_TRUE(std::equal(kImage.begin(), kImage.end(), out.begin()));
}

TEST(ResourceTable, AnExistingTableIsReplacedNotStacked) {
  std::vector<uint8_t> first = WriteResourceTable(kImage, {{"TQUARNEL", "MyArchiv", {1, 2}}});
  std::vector<uint8_t> second = WriteResourceTable(first, {{"TQUARNEL", "MyArchiv", {7, 8, 9}}});
  EXPECT_EQ(second, WriteResourceTable(kImage, {{"TQUARNEL", "MyArchiv", {7, 8, 9}}}));
  // And an empty set leaves an empty table, not the old one.
  std::vector<uint8_t> empty = WriteResourceTable(second, {});
  ResourceTrailer trailer;
  std::vector<ResourceEntry> entries;
  ASSERT_TRUE(ParseResourceTable(empty, trailer, entries));
  EXPECT_TRUE(entries.empty());
  EXPECT_EQ(empty.size(), kImage.size() + kResourceTrailerSize);
}

TEST(ResourceTable, LaterOfTwoEqualNamesWins) {
  std::vector<uint8_t> out =
      WriteResourceTable(kImage, {{"TQUARNEL", "MyArchiv", {1}}, {"tquarnel", "MYARCHIV", {2}}});
  ResourceTrailer trailer;
  std::vector<ResourceEntry> entries;
  ASSERT_TRUE(ParseResourceTable(out, trailer, entries));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(out[entries[0].offset], 2);
}

TEST(ResourceTable, OverlongNameIsRefused) {
  EXPECT_THROW(WriteResourceTable(kImage, {{"T", std::string(70000, 'n'), {}}}), Exception);
}

// Damaged tables: each mutation of a valid image must make it an image without a table.
TEST(ResourceTableDamage, InvalidTablesAreNotTables) {
  const std::vector<uint8_t> good = WriteResourceTable(kImage, {{"T", "N", {0xAA, 0xBB}}});
  // Offsets of the fields in `good` (image 4, data 2, entry 14, trailer 24 = 44 bytes).
  const size_t entry = 6, trailer = good.size() - kResourceTrailerSize;
  struct Case {
    const char* what;
    size_t at;
    uint8_t value;
  };
  const Case cases[] = {
      {"magic changed", trailer + 23, 'X'},
      {"unknown version", trailer + 12, 2},
      {"ImageEnd beyond TableOffset", trailer + 0, 0x07},
      {"TableOffset inside the trailer", trailer + 4, 0xF0},
      {"more entries than fit", trailer + 8, 0x05},
      {"data starts before ImageEnd", entry + 0, 0x02},
      {"data runs into the table", entry + 4, 0x03},
      {"data offset huge", entry + 3, 0x80},
      {"name runs into the trailer", entry + 10, 0x09},
      {"bytes left over after the entries", entry + 10, 0x00},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bad = good;
    bad[c.at] = c.value;
    ResourceTrailer t;
    std::vector<ResourceEntry> entries;
    EXPECT_FALSE(ParseResourceTable(bad, t, entries)) << c.what;
  }
  // Too short to hold a trailer at all, and a bare image.
  ResourceTrailer t;
  std::vector<ResourceEntry> entries;
  EXPECT_FALSE(ParseResourceTable(std::vector<uint8_t>(good.end() - 23, good.end()), t, entries));
  EXPECT_FALSE(ParseResourceTable(kImage, t, entries));
}

TEST(ResourceTableDamage, ImageWithDamagedTableGetsANewOneAppended) {
  std::vector<uint8_t> bad = WriteResourceTable(kImage, {{"T", "N", {1}}});
  bad[bad.size() - 12] = 9;  // unknown version: the old table is just bytes of the image now
  std::vector<uint8_t> out = WriteResourceTable(bad, {{"T", "N", {2}}});
  ResourceTrailer t;
  std::vector<ResourceEntry> entries;
  ASSERT_TRUE(ParseResourceTable(out, t, entries));
  EXPECT_EQ(t.imageEnd, bad.size());
  EXPECT_EQ(out[entries.at(0).offset], 2);
}

}  // namespace
}  // namespace platform
