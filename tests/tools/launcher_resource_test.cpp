// The launcher's archive resource in real executables: this test program's own file (ELF on
// Linux, PE on Windows) gets an archive embedded, and the platform's own resource lookup (the
// resource table reader on POSIX, LoadLibraryA and FindResourceA on Windows) must find it.
#include "tools/launcher_resource.h"

#include <gtest/gtest.h>

#include "platform/exceptions.h"
#include "platform/fs.h"
#include "platform/resources.h"
#include "platform/restable.h"
#include "support/tempdir.h"
#include "tools/file_bytes.h"
#include "tools/pe_image.h"

namespace tools {
namespace {

std::vector<uint8_t> FakeArchive(char fill, size_t size) {
  std::vector<uint8_t> a = {'Z', 'O', 'L', 'T', 0x1A, 'N', 'O', 'N'};
  a.resize(size, static_cast<uint8_t>(fill));
  return a;
}

TEST(LauncherResource, EmbedIntoOwnExecutableAndFindItWithThePlatformLookup) {
  testsupport::TempDir dir;
  std::vector<uint8_t> self = ReadFileBytes(platform::ModuleFileName());
  EXPECT_THROW(ReadEmbeddedArchive(self), platform::EResNotFound);

  std::string path = dir.Folder() + "launcher.exe";
  std::vector<uint8_t> first = FakeArchive('a', 3000), second = FakeArchive('b', 100);
  std::vector<uint8_t> launcher = EmbedArchive(self, first);
  EXPECT_EQ(ReadEmbeddedArchive(launcher), first);
  // Embedding into a launcher replaces its archive.
  launcher = EmbedArchive(launcher, second);
  EXPECT_EQ(ReadEmbeddedArchive(launcher), second);
  WriteFileBytes(path, launcher);

  std::vector<uint8_t> found;
  ASSERT_TRUE(platform::LoadLibraryResource(path, "TQUARNEL", "MyArchiv", found));
  EXPECT_EQ(found, second);
}

TEST(LauncherResource, OwnChecksumAgreesWithTheLinker) {
  std::vector<uint8_t> self = ReadFileBytes(platform::ModuleFileName());
  if (DetectExecutableFormat(self) != ExecutableFormat::kPe) GTEST_SKIP() << "not a PE image";
  PeImage pe = ParsePeImage(self);
  uint32_t stored = static_cast<uint32_t>(self[pe.CheckSumOffset()]) |
                    (static_cast<uint32_t>(self[pe.CheckSumOffset() + 1]) << 8) |
                    (static_cast<uint32_t>(self[pe.CheckSumOffset() + 2]) << 16) |
                    (static_cast<uint32_t>(self[pe.CheckSumOffset() + 3]) << 24);
  if (stored == 0) GTEST_SKIP() << "the linker left the checksum unset";
  EXPECT_EQ(ComputePeChecksum(self, pe.CheckSumOffset()), stored);
}

TEST(LauncherResource, ElfTableKeepsOtherResources) {
  std::vector<uint8_t> elf = {0x7F, 'E', 'L', 'F', 1, 1, 1, 0};
  elf = platform::WriteResourceTable(elf, {{"TFORM", "TFORM1", {1, 2, 3}}});
  std::vector<uint8_t> launcher =
      EmbedArchive(EmbedArchive(elf, FakeArchive('a', 50)), FakeArchive('b', 40));
  platform::ResourceTrailer trailer;
  std::vector<platform::ResourceEntry> entries;
  ASSERT_TRUE(platform::ParseResourceTable(launcher, trailer, entries));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].type, "TFORM");
  EXPECT_EQ(std::vector<uint8_t>(launcher.begin() + entries[0].offset,
                                 launcher.begin() + entries[0].offset + entries[0].size),
            (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(ReadEmbeddedArchive(launcher), FakeArchive('b', 40));
  // The image itself is kept byte for byte in front of the table.
  EXPECT_TRUE(std::equal(elf.begin(), elf.begin() + 8, launcher.begin()));
  EXPECT_EQ(trailer.imageEnd, 8u);
}

TEST(LauncherResource, NeitherPeNorElf) {
  std::vector<uint8_t> text = {'#', '!', '/', 'b', 'i', 'n'};
  try {
    EmbedArchive(text, FakeArchive('a', 30));
    FAIL() << "no exception";
  } catch (const platform::Exception& e) {
    EXPECT_EQ(e.Message(), "the stub is neither a Windows (PE) nor a Linux (ELF) executable");
  }
  EXPECT_THROW(ReadEmbeddedArchive(text), platform::Exception);
  // "MZ" without a PE header: refused as a PE image, not taken for something else.
  std::vector<uint8_t> dos(0x40, 0);
  dos[0] = 'M';
  dos[1] = 'Z';
  EXPECT_THROW(EmbedArchive(dos, FakeArchive('a', 30)), EBadImage);
}

}  // namespace
}  // namespace tools
