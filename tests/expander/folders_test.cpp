// Target folders and the free-space measure.
#include "expander/folders.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "archive_fixture.h"
#include "platform/exceptions.h"
#include "platform/fs.h"
#include "support/tempdir.h"

namespace {

using namespace expander;
using expandertest::Native;
using testsupport::TempDir;
namespace fs = std::filesystem;

TEST(CreateFolderPath, CreatesMissingParentsTopDown) {
  TempDir dir;
  const std::string path = dir.Folder() + "alpha\\beta\\gamma\\";
  CreateFolderPath(path);
  EXPECT_TRUE(fs::is_directory(Native(dir.Folder() + "alpha\\beta\\gamma")));
  EXPECT_TRUE(FolderExists(dir.Folder() + "alpha\\beta"));
  // Already there, with or without the trailing separator: nothing to do, no error.
  CreateFolderPath(path);
  CreateFolderPath(dir.Folder() + "alpha\\beta");
}

TEST(CreateFolderPath, EmptyAndRootPathsDoNothing) {
  TempDir dir;
  CreateFolderPath("");
  const std::string root = fs::path(dir.Folder()).root_path().string();
  CreateFolderPath(root);
  if (root.size() > 1) CreateFolderPath(root.substr(0, root.size() - 1));  // "C:" on Windows
}

// A first component shorter than 3 characters counts as present and is never created, so the
// folder below it cannot be made when it does not exist.
TEST(CreateFolderPath, ShortFirstComponentIsNeverCreated) {
  TempDir dir;
  expandertest::CurrentFolder here(dir.Path());
  try {
    CreateFolderPath("ab\\c");
    FAIL() << "no EInOutError";
  } catch (const platform::EInOutError& e) {
    EXPECT_EQ(e.ErrorCode(), 3);  // path not found
  }
  EXPECT_FALSE(fs::exists(dir.Path() / "ab"));
  // With the short component present, the rest is created relative to the current folder.
  fs::create_directory(dir.Path() / "ab");
  CreateFolderPath("ab\\cde\\");
  EXPECT_TRUE(fs::is_directory(dir.Path() / "ab" / "cde"));
}

TEST(CreateFolderPath, FileInTheWayRaisesInOutError) {
  TempDir dir;
  expandertest::WriteFile(dir.Folder() + "blocker", {1});
  EXPECT_THROW(CreateFolderPath(dir.Folder() + "blocker\\sub"), platform::EInOutError);
}

TEST(FolderExists, OnlyForFolders) {
  TempDir dir;
  expandertest::WriteFile(dir.Folder() + "file.txt", {1, 2});
  EXPECT_TRUE(FolderExists(dir.Folder()));
  EXPECT_FALSE(FolderExists(dir.Folder() + "file.txt"));
  EXPECT_FALSE(FolderExists(dir.Folder() + "missing"));
}

// Free space from a fixed figure, plus the size of a file already at the path.
TEST(SpaceAvailable, AddsTheSizeOfAnExistingFile) {
  struct Case {
    int64_t free;       // what the free-space query answers
    int existingBytes;  // size of a file already at the path, or -1 for none
    int64_t expected;
  };
  const Case cases[] = {
      {500, 1000, 1500},
      {500, -1, 500},
      {500, 0, 500},
      {-1, -1, -1},  // the query failed
      {-1, 1000, 999},
      {5LL << 30, -1, 5LL << 30},  // more than 4 GiB is reported in full
      {(5LL << 30) + 7, 1000, (5LL << 30) + 1007},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const std::string path = dir.Folder() + "out.dat";
    if (c.existingBytes >= 0)
      expandertest::WriteFile(path, std::vector<uint8_t>(static_cast<size_t>(c.existingBytes)));
    std::string asked;
    const int64_t got = SpaceAvailable(path, [&](const std::string& p) {
      asked = p;
      return c.free;
    });
    EXPECT_EQ(got, c.expected) << "free " << c.free << ", existing " << c.existingBytes;
    EXPECT_EQ(asked, path);
  }
}

TEST(SpaceAvailable, MeasuresTheRealFileSystem) {
  TempDir dir;
  EXPECT_GT(SpaceAvailable(dir.Folder() + "not-yet-there.dat"), 0);
  // A folder at the path adds nothing: only files are replaced.
  CreateFolderPath(dir.Folder() + "sub");
  EXPECT_EQ(SpaceAvailable(dir.Folder() + "sub", [](const std::string&) { return 10; }), 10);
}

TEST(SpaceAvailable, ReadOnlyExistingFileRaisesAccessDenied) {
  TempDir dir;
  const std::string path = dir.Folder() + "locked.dat";
  expandertest::WriteFile(path, std::vector<uint8_t>(10));
  ASSERT_TRUE(platform::SetFileAttributesOf(path, platform::kFileAttributeReadOnly));
  try {
    SpaceAvailable(path, [](const std::string&) { return 1000; });
    FAIL() << "no EInOutError";
  } catch (const platform::EInOutError& e) {
    EXPECT_EQ(e.ErrorCode(), 5);
    EXPECT_STREQ(e.what(), "Dateizugriff verweigert");
  }
}

}  // namespace
