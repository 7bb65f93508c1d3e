// Archives carried as module resources of type "TQUARNEL".
#include <gtest/gtest.h>

#include <filesystem>

#include "archive_fixture.h"
#include "expander/quarnel.h"
#include "platform/exceptions.h"
#include "platform/fs.h"
#include "platform/restable.h"
#include "support/tempdir.h"

namespace {

using namespace expander;
using namespace expandertest;

TEST(OpenArchiveResource, LibraryThatCannotBeLoaded) {
  testsupport::TempDir dir;
  const std::string lib = dir.Folder() + "missing.dll";
  TQuarnel q;
  try {
    q.OpenArchiveResource("MyArchiv", lib);
    FAIL() << "no exception";
  } catch (const platform::Exception& e) {
    EXPECT_EQ(std::string(e.what()), "Could not load " + lib + " DLL");
  }
}

TEST(OpenArchiveResource, MissingResourceInTheOwnModule) {
  TQuarnel q;
  EXPECT_THROW(q.OpenArchiveResource("NoSuchArchive", ""), platform::EResNotFound);
}

// POSIX libraries are ELF files with a resource table; the test makes one from its own image.
TEST(OpenArchiveResource, ResourceOfALibraryIsCopiedOut) {
  if (std::filesystem::path::preferred_separator != '/')
    GTEST_SKIP() << "needs a library with a resource table (POSIX build)";
  testsupport::TempDir dir;
  platform::TMemoryStream archive =
      MakeArchive("RLE", {{"from-lib.txt", Bytes("carried in a library"), Method(mtRLE)}});
  const std::string lib = dir.Folder() + "archive.so";
  WriteFile(lib, platform::WriteResourceTable(
                     ReadFile(platform::ModuleFileName()),
                     {{"TQUARNEL", "MyArchiv", archive.Bytes()}, {"OTHER", "MyArchiv", {1, 2}}}));

  TQuarnel q;
  std::unique_ptr<ByteStream> stream = q.OpenArchiveResource("MYARCHIV", lib);
  // The stream holds its own bytes: the library is no longer needed.
  std::filesystem::remove(Native(lib));
  q.SetTargetPath(dir.Folder());
  q.ExtractArchive(*stream, nullptr);
  EXPECT_EQ(ReadFile(dir.Folder() + "from-lib.txt"), Bytes("carried in a library"));

  WriteFile(lib, platform::WriteResourceTable(ReadFile(platform::ModuleFileName()),
                                              {{"OTHER", "MyArchiv", {1, 2}}}));
  EXPECT_THROW(q.OpenArchiveResource("MyArchiv", lib), platform::EResNotFound);
}

}  // namespace
