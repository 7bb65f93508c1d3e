// Module resources: the own executable and a named file.
#include "platform/resources.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/exceptions.h"
#include "platform/fs.h"
#include "platform/restable.h"
#include "support/tempdir.h"

namespace platform {
namespace {

void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

TEST(OwnResource, MissingResourceNamesIt) {
  try {
    LoadOwnResource("TQUARNEL", "MyArchiv");
    FAIL() << "the test program carries no archive";
  } catch (const EResNotFound& e) {
    EXPECT_EQ(e.Message(), "Ressource MyArchiv nicht gefunden");
  }
}

TEST(LibraryResource, FilesThatAreNoLibrary) {
  testsupport::TempDir dir;
  std::vector<uint8_t> bytes;
  EXPECT_FALSE(LoadLibraryResource(dir.Folder() + "missing.dll", "TQUARNEL", "MyArchiv", bytes));
  WriteAll(dir.Folder() + "text.dll", std::vector<uint8_t>(200, 'x'));
  EXPECT_FALSE(LoadLibraryResource(dir.Folder() + "text.dll", "TQUARNEL", "MyArchiv", bytes));
  EXPECT_FALSE(LoadLibraryResource(dir.Path().string(), "TQUARNEL", "MyArchiv", bytes));
}

TEST(LibraryResource, LibraryWithoutTheResource) {
  try {
    std::vector<uint8_t> bytes;
    LoadLibraryResource(ModuleFileName(), "TQUARNEL", "MyArchiv", bytes);
    FAIL() << "found a resource that is not there";
  } catch (const EResNotFound& e) {
    EXPECT_EQ(e.Message(), "Ressource MyArchiv nicht gefunden");
  }
}

#ifdef _WIN32
// tests/platform/resources.rc gives this program the resource TESTARCHIV of type TQUARNEL.
const std::vector<uint8_t> kTestArchiv = {'Z', 'O', 'L', 'T', 0x0A, 0x1A};

TEST(OwnResource, FoundWithoutRegardToCase) {
  EXPECT_EQ(LoadOwnResource("TQUARNEL", "TestArchiv"), kTestArchiv);
  EXPECT_EQ(LoadOwnResource("tquarnel", "TESTARCHIV"), kTestArchiv);
  EXPECT_THROW(LoadOwnResource("RCDATA", "TestArchiv"), EResNotFound);
}

TEST(LibraryResource, ProgramFileLoadedAsData) {
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(LoadLibraryResource(ModuleFileName(), "TQuarnel", "testarchiv", bytes));
  EXPECT_EQ(bytes, kTestArchiv);
}
#else
std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// A copy of this test program with a resource table: the resource is found without regard to
// case, and the copy still runs.
TEST(LibraryResource, TableAppendedToAnElfFile) {
  testsupport::TempDir dir;
  std::vector<uint8_t> archive(5000);
  for (size_t i = 0; i < archive.size(); ++i) archive[i] = static_cast<uint8_t>(i % 251);
  std::string lib = dir.Folder() + "stub";
  WriteAll(lib, WriteResourceTable(ReadAll(ModuleFileName()), {{"TQUARNEL", "MyArchiv", archive}}));
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(LoadLibraryResource(lib, "tquarnel", "MYARCHIV", bytes));
  EXPECT_EQ(bytes, archive);
  EXPECT_THROW(LoadLibraryResource(lib, "TQUARNEL", "Other", bytes), EResNotFound);

  ASSERT_TRUE(SetFileAttributesOf(lib, kFileAttributeArchive));  // ELF: made executable
  std::string run = "\"" + lib + "\" --gtest_filter=StringList.* > /dev/null";
  EXPECT_EQ(std::system(run.c_str()), 0);
}
#endif

}  // namespace
}  // namespace platform
