// PE resource trees: round trips through ReplacePeResources on small hand-made images, the two
// placements (rebuilt in place as the last section, or a new last section), what must survive
// (other resources, other sections, data after the sections), and damaged trees.
#include "tools/pe_resources.h"

#include <gtest/gtest.h>

#include <string>

#include "tools/le_bytes.h"
#include "tools/pe_image.h"

namespace tools {
namespace {

constexpr uint32_t kFileAlignment = 0x200;
constexpr uint32_t kSectionAlignment = 0x1000;
constexpr size_t kPeOffset = 0x40;
constexpr size_t kOptionalHeader = kPeOffset + 24;
constexpr size_t kSectionTable = kOptionalHeader + 224;

struct TestSection {
  std::string name;
  std::vector<uint8_t> data;  // file data, padded to kFileAlignment
  uint32_t virtualSize;
};

// A PE32 image: the headers in the first 0x200 bytes, the sections one after the other from
// RVA 0x1000, then `overlay` after the section data. sections[resourceIndex] is announced as the
// resource directory when resourceIndex >= 0.
std::vector<uint8_t> MakeImage(const std::vector<TestSection>& sections, int resourceIndex,
                               const std::vector<uint8_t>& overlay = {}, uint32_t checkSum = 0,
                               uint32_t sizeOfHeaders = 0x200) {
  std::vector<uint8_t> f(sizeOfHeaders, 0);
  f[0] = 'M';
  f[1] = 'Z';
  Put32(f, 0x3C, kPeOffset);
  f[kPeOffset] = 'P';
  f[kPeOffset + 1] = 'E';
  Put16(f, kPeOffset + 4, 0x14C);  // i386
  Put16(f, kPeOffset + 6, static_cast<uint16_t>(sections.size()));
  Put16(f, kPeOffset + 20, 224);  // SizeOfOptionalHeader
  Put16(f, kPeOffset + 22, 0x102);
  Put16(f, kOptionalHeader, 0x10B);
  Put32(f, kOptionalHeader + 16, 0x1000);  // AddressOfEntryPoint
  Put32(f, kOptionalHeader + 28, 0x400000);
  Put32(f, kOptionalHeader + 32, kSectionAlignment);
  Put32(f, kOptionalHeader + 36, kFileAlignment);
  Put32(f, kOptionalHeader + 60, sizeOfHeaders);
  Put32(f, kOptionalHeader + 64, checkSum);
  Put16(f, kOptionalHeader + 68, 3);
  Put32(f, kOptionalHeader + 92, 16);
  uint32_t rva = 0x1000;
  for (size_t i = 0; i < sections.size(); ++i) {
    const TestSection& s = sections[i];
    size_t h = kSectionTable + i * 40;
    for (size_t c = 0; c < s.name.size() && c < 8; ++c) f[h + c] = s.name[c];
    Put32(f, h + 8, s.virtualSize);
    Put32(f, h + 12, rva);
    Put32(f, h + 16, static_cast<uint32_t>(s.data.size()));
    Put32(f, h + 20, static_cast<uint32_t>(f.size()));
    Put32(f, h + 36, 0x40000040);
    if (static_cast<int>(i) == resourceIndex) {
      Put32(f, kOptionalHeader + 96 + 8 * 2, rva);
      Put32(f, kOptionalHeader + 96 + 8 * 2 + 4, s.virtualSize);
    }
    f.insert(f.end(), s.data.begin(), s.data.end());
    rva += (s.virtualSize + kSectionAlignment - 1) / kSectionAlignment * kSectionAlignment;
  }
  Put32(f, kOptionalHeader + 56, rva);  // SizeOfImage
  f.insert(f.end(), overlay.begin(), overlay.end());
  if (checkSum != 0) Put32(f, kOptionalHeader + 64, ComputePeChecksum(f, kOptionalHeader + 64));
  return f;
}

std::vector<uint8_t> Padded(std::vector<uint8_t> data) {
  data.resize((data.size() + kFileAlignment - 1) / kFileAlignment * kFileAlignment, 0);
  return data;
}

TestSection Text() {
  std::vector<uint8_t> code(0x180);
  for (size_t i = 0; i < code.size(); ++i) code[i] = static_cast<uint8_t>(i * 7 + 1);
  return {".text", Padded(code), 0x180};
}

TestSection ResourceSection(const std::vector<PeResource>& resources, uint32_t rva) {
  std::vector<uint8_t> tree = BuildResourceTree(resources, rva);
  return {".rsrc", Padded(tree), static_cast<uint32_t>(tree.size())};
}

PeResource Resource(ResourceId type, ResourceId name, uint16_t language, std::string bytes) {
  PeResource r;
  r.type = type;
  r.name = name;
  r.language = language;
  r.data.assign(bytes.begin(), bytes.end());
  return r;
}

// A manifest (24/1) and a version resource (16/1) in US English, as resource compilers write them.
std::vector<PeResource> UsualResources() {
  return {Resource(ResourceId::Number(24), ResourceId::Number(1), 0x409, "<assembly/>"),
          Resource(ResourceId::Number(16), ResourceId::Number(1), 0x409, "VS_VERSION_INFO")};
}

PeResource Archive(const std::string& bytes) {
  return Resource(ResourceId::Name("TQUARNEL"), ResourceId::Name("MyArchiv"), 0, bytes);
}

std::vector<uint8_t> Bytes(const std::string& s) {
  return {s.begin(), s.end()};
}

// The archive must be found the way FindResourceA finds it, and the image must be consistent.
void ExpectConsistent(const std::vector<uint8_t>& image) {
  PeImage pe = ParsePeImage(image);
  uint64_t end = 0;
  for (const PeSection& s : pe.sections) {
    EXPECT_EQ(s.virtualAddress % kSectionAlignment, 0u) << s.name;
    EXPECT_EQ(s.rawPointer % kFileAlignment, 0u) << s.name;
    EXPECT_EQ(s.rawSize % kFileAlignment, 0u) << s.name;
    EXPECT_LE(uint64_t{s.rawPointer} + s.rawSize, image.size()) << s.name;
    EXPECT_GE(s.virtualAddress, end) << s.name << " overlaps the section before it";
    end = s.virtualAddress + std::max(s.virtualSize, s.rawSize);
  }
  EXPECT_EQ(Get32(image, pe.SizeOfImageOffset()),
            (end + kSectionAlignment - 1) / kSectionAlignment * kSectionAlignment);
  uint32_t rva = 0, size = 0;
  GetDataDirectory(image, pe, kPeDirectoryResource, rva, size);
  size_t offset = 0;
  EXPECT_TRUE(RvaToOffset(pe, image.size(), rva, size, offset));
}

void ExpectSameResources(const std::vector<PeResource>& got, const std::vector<PeResource>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < got.size(); ++i) {
    EXPECT_TRUE(got[i].type.Matches(want[i].type)) << i;
    EXPECT_TRUE(got[i].name.Matches(want[i].name)) << i;
    EXPECT_EQ(got[i].language, want[i].language) << i;
    EXPECT_EQ(got[i].data, want[i].data) << i;
  }
}

TEST(PeResourceEmbed, NewSectionForAnImageWithoutResources) {
  std::vector<uint8_t> overlay = Bytes("data after the sections");
  std::vector<uint8_t> image = MakeImage({Text()}, -1, overlay);
  // A COFF symbol table in the data after the sections must move along with it.
  Put32(image, kPeOffset + 4 + 8, 0x400 + 5);

  std::vector<uint8_t> out = ReplacePeResources(image, {Archive("ZOLT archive")});
  ExpectConsistent(out);
  PeImage pe = ParsePeImage(out);
  ASSERT_EQ(pe.sections.size(), 2u);
  EXPECT_EQ(pe.sections[1].name, ".rsrc");
  EXPECT_EQ(pe.sections[1].virtualAddress, 0x2000u);
  EXPECT_EQ(pe.sections[1].characteristics, 0x40000040u);
  // .text is untouched, the trailing data follows the new section, the symbol pointer with it.
  EXPECT_TRUE(std::equal(image.begin() + 0x200, image.begin() + 0x400, out.begin() + 0x200));
  size_t trailing = pe.sections[1].rawPointer + pe.sections[1].rawSize;
  EXPECT_EQ(std::vector<uint8_t>(out.begin() + trailing, out.end()), overlay);
  EXPECT_EQ(Get32(out, kPeOffset + 4 + 8), trailing + 5);

  std::vector<uint8_t> data;
  ASSERT_TRUE(
      FindPeResource(out, ResourceId::Name("tquarnel"), ResourceId::Name("MYARCHIV"), data));
  EXPECT_EQ(data, Bytes("ZOLT archive"));
}

TEST(PeResourceEmbed, LastResourceSectionRebuiltInPlaceKeepingTheOthers) {
  std::vector<uint8_t> image = MakeImage({Text(), ResourceSection(UsualResources(), 0x2000)}, 1);
  std::vector<PeResource> resources = ReadPeResources(image);
  ExpectSameResources(resources, {UsualResources()[1], UsualResources()[0]});  // ids ascending

  // Twice: the first adds the archive, the second replaces it by a longer one.
  std::string archives[] = {"first archive", std::string(5000, 'x')};
  for (const std::string& archive : archives) {
    SetResource(resources, Archive(archive));
    image = ReplacePeResources(image, resources);
    ExpectConsistent(image);
    PeImage pe = ParsePeImage(image);
    ASSERT_EQ(pe.sections.size(), 2u) << "the last section is reused";
    EXPECT_EQ(pe.sections[1].virtualAddress, 0x2000u);
    std::vector<PeResource> got = ReadPeResources(image);
    // Named types come before numbered ones in a directory.
    ExpectSameResources(got, {Archive(archive), UsualResources()[1], UsualResources()[0]});
  }
}

TEST(PeResourceEmbed, MiddleResourceSectionLeftAndANewOneAppended) {
  TestSection reloc{".reloc", Padded(Bytes("relocations")), 11};
  std::vector<uint8_t> image =
      MakeImage({Text(), ResourceSection(UsualResources(), 0x2000), reloc}, 1, {}, 1);

  std::vector<PeResource> resources = ReadPeResources(image);
  SetResource(resources, Archive("ZOLT"));
  std::vector<uint8_t> out = ReplacePeResources(image, resources);
  ExpectConsistent(out);
  PeImage pe = ParsePeImage(out);
  ASSERT_EQ(pe.sections.size(), 4u);
  EXPECT_EQ(pe.sections[1].name, ".oldrsrc");
  EXPECT_EQ(pe.sections[2].name, ".reloc");
  EXPECT_EQ(pe.sections[3].name, ".rsrc");
  EXPECT_EQ(pe.sections[3].virtualAddress, 0x4000u);
  // Everything before the new section is as it was, apart from the header fields.
  EXPECT_TRUE(std::equal(image.begin() + 0x200, image.end(), out.begin() + 0x200));
  ExpectSameResources(ReadPeResources(out),
                      {Archive("ZOLT"), UsualResources()[1], UsualResources()[0]});
  // A set checksum is set again, to the checksum of the new file.
  EXPECT_EQ(Get32(out, pe.CheckSumOffset()), ComputePeChecksum(out, pe.CheckSumOffset()));
  EXPECT_NE(Get32(out, pe.CheckSumOffset()), Get32(image, pe.CheckSumOffset()));

  // Embedding again finds the new section last and rebuilds it in place.
  SetResource(resources, Archive("ZOLT again"));
  std::vector<uint8_t> again = ReplacePeResources(out, resources);
  EXPECT_EQ(ParsePeImage(again).sections.size(), 4u);
  ExpectSameResources(ReadPeResources(again),
                      {Archive("ZOLT again"), UsualResources()[1], UsualResources()[0]});
}

TEST(PeResourceEmbed, LanguagesAndNamesOfOtherResourcesStay) {
  std::vector<PeResource> resources = {
      Resource(ResourceId::Name("ZZZ"), ResourceId::Number(3), 0x407, "z"),
      Resource(ResourceId::Name("AAA"), ResourceId::Name("ONE"), 0x409, "a1"),
      Resource(ResourceId::Name("AAA"), ResourceId::Name("ONE"), 0x407, "a1 german"),
      Resource(ResourceId::Number(3), ResourceId::Number(7), 0, "icon"),
  };
  std::vector<uint8_t> image = MakeImage({Text(), ResourceSection(resources, 0x2000)}, 1);
  ExpectSameResources(ReadPeResources(image),
                      {resources[2], resources[1], resources[0], resources[3]});
  // SetResource replaces every language of the same type and name.
  SetResource(resources, Resource(ResourceId::Name("aaa"), ResourceId::Name("one"), 0, "new"));
  ASSERT_EQ(resources.size(), 3u);
  EXPECT_EQ(resources[1].data, Bytes("new"));
}

TEST(PeResourceEmbed, NoRoomForAnotherSectionHeader) {
  // Headers end right after the one section header: a second header would overwrite data.
  std::vector<uint8_t> image = MakeImage({Text()}, -1, {}, 0, 0x200);
  Put32(image, kOptionalHeader + 60, static_cast<uint32_t>(kSectionTable + 40));
  EXPECT_THROW(ReplacePeResources(image, {Archive("x")}), EBadImage);
}

TEST(PeChecksum, FoldsCarriesAndAddsTheLength) {
  // Words 0x0001 + 0x0002, the length 4 added: 7.
  EXPECT_EQ(ComputePeChecksum({1, 0, 2, 0}, 100), 7u);
  // The four bytes of the field at offset 2 count as zero; 0xFFFF + 0x0003 = 0x10002 folds to
  // 0x0003; an odd last byte is a word of its own (+1); plus the length 9.
  EXPECT_EQ(ComputePeChecksum({0xFF, 0xFF, 9, 9, 9, 9, 0x03, 0x00, 0x01}, 2), 0x0004u + 9);
}

TEST(PeResourceDamage, RefusedWithoutReadingOutOfBounds) {
  std::vector<uint8_t> good = MakeImage({Text(), ResourceSection(UsualResources(), 0x2000)}, 1);
  // File offset of the tree; in it the root at 0, the type directories at 0x20 and 0x38, the name
  // directories at 0x50 and 0x68, the data entries at 0x80 and 0x90.
  const size_t tree = 0x400;
  struct Case {
    const char* what;
    size_t at;
    uint32_t value;
    bool sixteenBits;
    const char* message;  // part of the EBadImage message
  };
  const Case cases[] = {
      {"entry count beyond the section", tree + 14, 0xFFFF, true, "directory out of bounds"},
      {"subdirectory offset beyond the section", tree + 16 + 4, 0x80000000u | 0x7FFFFFF0u, false,
       "directory out of bounds"},
      {"type level holding data", tree + 16 + 4, 0x00000010u, false, "data at the type level"},
      {"language level pointing back to the root", tree + 0x50 + 16 + 4, 0x80000000u, false,
       "deeper than three levels"},
      {"data RVA outside every section", tree + 0x80, 0x00900000u, false,
       "resource data out of bounds"},
      {"data size beyond the file", tree + 0x84, 0x00100000u, false,
       "resource data larger than the file"},
      {"named entry with its string beyond the section", tree + 16, 0x8000FFF0u, false,
       "directory out of bounds"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint8_t> bad = good;
    if (c.sixteenBits)
      Put16(bad, c.at, static_cast<uint16_t>(c.value));
    else
      Put32(bad, c.at, c.value);
    try {
      ReadPeResources(bad);
      ADD_FAILURE() << "no exception";
    } catch (const EBadImage& e) {
      EXPECT_NE(e.Message().find(c.message), std::string::npos) << e.Message();
    }
    // The lookup of --module walks only its path: it may find nothing or refuse, never crash.
    std::vector<uint8_t> data;
    try {
      FindPeResource(bad, ResourceId::Number(24), ResourceId::Number(1), data);
    } catch (const EBadImage&) {
    }
  }
  // Cut short anywhere in the headers: refused, never read past the end.
  for (size_t size : {size_t{0}, size_t{2}, size_t{0x3F}, size_t{0x44}, kOptionalHeader + 10,
                      kSectionTable + 20}) {
    std::vector<uint8_t> cut(good.begin(), good.begin() + size);
    EXPECT_THROW(ReadPeResources(cut), EBadImage) << size;
  }
}

TEST(PeResourceDamage, LoopedDirectoriesEndTheLookup) {
  std::vector<uint8_t> image = MakeImage({Text(), ResourceSection(UsualResources(), 0x2000)}, 1);
  // The name entry of type 16 points back at the root: a lookup must neither hang nor recurse.
  Put32(image, 0x400 + 0x20 + 16 + 4, 0x80000000u);
  std::vector<uint8_t> data;
  EXPECT_FALSE(FindPeResource(image, ResourceId::Number(16), ResourceId::Number(1), data));
  EXPECT_THROW(ReadPeResources(image), EBadImage);
}

}  // namespace
}  // namespace tools
