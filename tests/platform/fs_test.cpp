// File-system operations, on a fresh temporary folder per test.
#include "platform/fs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "platform/exceptions.h"
#include "support/tempdir.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace platform {
namespace {

constexpr char kSep = static_cast<char>(std::filesystem::path::preferred_separator);

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

TEST(FsFolders, CreateOneFolderAndItsErrors) {
  testsupport::TempDir dir;
  std::string a = dir.Folder() + "a";
  EXPECT_EQ(CreateOneFolder(a), 0);
  EXPECT_EQ(GetFileAttributesOf(a) & kFileAttributeDirectory, kFileAttributeDirectory);
  EXPECT_EQ(CreateOneFolder(a), 183);                              // already there
  EXPECT_EQ(CreateOneFolder(dir.Folder() + "x" + kSep + "y"), 3);  // parent missing
  WriteFile(dir.Folder() + "file", "f");
  EXPECT_EQ(CreateOneFolder(dir.Folder() + "file" + kSep + "sub"), 3);  // a file in the way
}

TEST(FsFolders, BackslashSeparatesOnEverySystem) {
  testsupport::TempDir dir;
  ASSERT_EQ(CreateOneFolder(dir.Folder() + "a"), 0);
  EXPECT_EQ(CreateOneFolder(dir.Folder() + "a\\b"), 0);
  EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "a" / "b"));
  WriteFile((dir.Path() / "a" / "b" / "c.txt").string(), "abc");
  EXPECT_TRUE(FileExists(dir.Folder() + "a\\b\\c.txt"));
}

TEST(FsAttributes, FilesFoldersAndMissingPaths) {
  testsupport::TempDir dir;
  std::string file = dir.Folder() + "f.txt";
  WriteFile(file, "x");
  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(FileExists(dir.Folder()));
  EXPECT_FALSE(FileExists(dir.Path().string()));
  EXPECT_FALSE(FileExists(dir.Folder() + "missing.txt"));
  EXPECT_EQ(GetFileAttributesOf(dir.Folder() + "missing.txt"), kInvalidFileAttributes);
  EXPECT_EQ(GetFileAttributesOf(file) & (kFileAttributeDirectory | kFileAttributeReadOnly), 0u);

  EXPECT_TRUE(SetFileAttributesOf(file, kFileAttributeReadOnly | kFileAttributeArchive));
  EXPECT_EQ(GetFileAttributesOf(file) & kFileAttributeReadOnly, kFileAttributeReadOnly);
  EXPECT_TRUE(SetFileAttributesOf(file, kFileAttributeArchive));
  EXPECT_EQ(GetFileAttributesOf(file) & kFileAttributeReadOnly, 0u);
  EXPECT_FALSE(SetFileAttributesOf(dir.Folder() + "missing.txt", kFileAttributeArchive));
}

TEST(FsAttributes, WildcardsNeverMatchAnExistingFile) {
  testsupport::TempDir dir;
  WriteFile(dir.Folder() + "abc.txt", "x");
  EXPECT_FALSE(FileExists(dir.Folder() + "a*.txt"));
  EXPECT_FALSE(FileExists(dir.Folder() + "ab?.txt"));
}

TEST(FsExistingFileSize, SizeReadOnlyAndMissing) {
  testsupport::TempDir dir;
  std::string file = dir.Folder() + "k.dat";
  WriteFile(file, std::string(1000, 'k'));
  EXPECT_EQ(ExistingFileSize(file), 1000);

  ASSERT_TRUE(SetFileAttributesOf(file, kFileAttributeReadOnly));
  try {
    ExistingFileSize(file);
    FAIL() << "read-only file opened for writing";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.ErrorCode(), 5);
    EXPECT_EQ(e.Message(), "Dateizugriff verweigert");
  }

  try {
    ExistingFileSize(dir.Folder() + "missing.dat");
    FAIL() << "missing file opened";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.ErrorCode(), 2);
    EXPECT_EQ(e.Message(), "Datei nicht gefunden");
  }
}

TEST(FsFileDate, RoundTripThroughLocalTime) {
  testsupport::TempDir dir;
  const uint32_t dates[] = {
      0x22C48091u,  // 4 June 1997 16:04:34, summer time in zones that have it
      0x502F4BC0u,  // 15 January 2020 09:30:00, winter time
      0x00210000u,  // 1 January 1980 00:00:00, the first MS-DOS time
  };
  for (uint32_t dosDate : dates) {
    std::string file = dir.Folder() + "d" + std::to_string(dosDate);
    {
      TFileStream f(file, TFileStream::fmCreate);
      f.WriteBuffer("data", 4);
      EXPECT_TRUE(SetFileDate(f, dosDate));
    }
    EXPECT_EQ(GetFileDosDateTime(file), dosDate) << std::hex << dosDate;
  }
}

TEST(FsFileDate, ImpossibleDatesAreRefused) {
  testsupport::TempDir dir;
  TFileStream f(dir.Folder() + "x", TFileStream::fmCreate);
  EXPECT_FALSE(SetFileDate(f, 0));                                       // month 0, day 0
  EXPECT_FALSE(SetFileDate(f, (0x22C4u << 16) | (24u << 11)));           // hour 24
  EXPECT_FALSE(SetFileDate(f, (((17u << 9) | (2u << 5) | 29u) << 16)));  // 29 Feb 1997
}

#ifndef _WIN32
// With the time zone fixed, the mtime is the UTC instant of the local time.
TEST(FsFileDate, LocalTimeBecomesUtcMtime) {
  const char* old = std::getenv("TZ");
  std::string saved = old ? old : "";
  setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
  tzset();
  testsupport::TempDir dir;
  std::string file = dir.Folder() + "d";
  {
    TFileStream f(file, TFileStream::fmCreate);
    ASSERT_TRUE(SetFileDate(f, 0x22C48091u));  // 1997-06-04 16:04:34 CEST
  }
  struct stat st;
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, 865433074);  // 1997-06-04 14:04:34 UTC
  {
    TFileStream f(file, TFileStream::fmCreate);
    ASSERT_TRUE(SetFileDate(f, 0x502F4BC0u));  // 2020-01-15 09:30:00 CET
  }
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, 1579077000);  // 2020-01-15 08:30:00 UTC
  if (old)
    setenv("TZ", saved.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
}

TEST(FsPosixModes, ReadOnlyHoldsForRootToo) {
  testsupport::TempDir dir;
  std::string file = dir.Folder() + "ro";
  WriteFile(file, "x");
  chmod(file.c_str(), 0444);
  EXPECT_EQ(GetFileAttributesOf(file) & kFileAttributeReadOnly, kFileAttributeReadOnly);
  EXPECT_THROW(ExistingFileSize(file), EInOutError);
  EXPECT_FALSE(DeleteFileAt(file));
  chmod(file.c_str(), 0644);
  EXPECT_EQ(ExistingFileSize(file), 1);
}

TEST(FsPosixModes, ProgramsBecomeExecutable) {
  struct Case {
    const char* content;
    uint32_t attributes;
    unsigned expectedMode;
  };
  const Case cases[] = {
      {"#!/bin/sh\necho hi\n", kFileAttributeArchive, 0755},
      {"\x7F"
       "ELF\x01\x01\x01",
       kFileAttributeArchive, 0755},
      {"#!/bin/sh\n", kFileAttributeReadOnly, 0555},
      {"plain text", kFileAttributeArchive, 0644},
      {"#", kFileAttributeArchive, 0644},
      {"\x7F"
       "EL",
       kFileAttributeArchive, 0644},
      {"", kFileAttributeReadOnly, 0444},
  };
  testsupport::TempDir dir;
  int i = 0;
  for (const Case& c : cases) {
    std::string file = dir.Folder() + "f" + std::to_string(i++);
    WriteFile(file, c.content);
    chmod(file.c_str(), 0644);
    ASSERT_TRUE(SetFileAttributesOf(file, c.attributes));
    struct stat st;
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, c.expectedMode) << c.content;
  }
}

TEST(FsPosixModes, WritableAgainGivesOwnerWriteOnly) {
  testsupport::TempDir dir;
  std::string file = dir.Folder() + "f";
  WriteFile(file, "x");
  chmod(file.c_str(), 0444);
  ASSERT_TRUE(SetFileAttributesOf(file, kFileAttributeArchive));
  struct stat st;
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);
}
#endif

TEST(FsDelete, FilesOnly) {
  testsupport::TempDir dir;
  std::string file = dir.Folder() + "del.txt";
  WriteFile(file, "x");
  EXPECT_TRUE(DeleteFileAt(file));
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_FALSE(DeleteFileAt(file));
  EXPECT_FALSE(DeleteFileAt(dir.Path().string()));
  EXPECT_TRUE(std::filesystem::is_directory(dir.Path()));
  WriteFile(file, "x");
  ASSERT_TRUE(SetFileAttributesOf(file, kFileAttributeReadOnly));
  EXPECT_FALSE(DeleteFileAt(file));  // as on Windows, a read-only file stays
}

TEST(FsFreeSpace, NearestExistingFolder) {
  testsupport::TempDir dir;
  int64_t here = FreeSpaceFor(dir.Folder() + "file.dat");
  ASSERT_GT(here, 0);
  int64_t nested = FreeSpaceFor(dir.Folder() + "no" + kSep + "such" + kSep + "file.dat");
  int64_t actual = static_cast<int64_t>(std::filesystem::space(dir.Path()).available);
  const int64_t slack = 64 << 20;  // others write on the same disk meanwhile
  EXPECT_NEAR(static_cast<double>(nested), static_cast<double>(here), slack);
  EXPECT_NEAR(static_cast<double>(here), static_cast<double>(actual), slack);
}

TEST(FsFreeSpace, MoreThanFourGigabytesWhereTheMachineHasThem) {
  testsupport::TempDir dir;
  int64_t actual = static_cast<int64_t>(std::filesystem::space(dir.Path()).available);
  if (actual <= (int64_t{4} << 30)) GTEST_SKIP() << "less than 4 GiB free here";
  EXPECT_GT(FreeSpaceFor(dir.Folder() + "big.dat"), int64_t{4} << 30);
}

#ifdef _WIN32
// "X:..." measures drive X, in either case of the letter; a drive that is not there gives -1.
TEST(FsFreeSpace, DriveLetterRule) {
  testsupport::TempDir dir;
  std::string own = dir.Path().string();
  ASSERT_EQ(own[1], ':');
  std::string lower = own;
  lower[0] = static_cast<char>(lower[0] | 0x20);
  EXPECT_GT(FreeSpaceFor(lower.substr(0, 2) + "\\no\\such\\file.dat"), 0);
  char missing = 0;
  for (char letter = 'Y'; letter > 'C' && missing == 0; --letter)
    if (GetFileAttributesOf(std::string(1, letter) + ":\\") == kInvalidFileAttributes)
      missing = letter;
  ASSERT_NE(missing, 0) << "every drive letter is in use";
  EXPECT_EQ(FreeSpaceFor(std::string(1, missing) + ":\\x\\y.dat"), -1);
  EXPECT_EQ(FreeSpaceFor(std::string(1, missing) + ":"), -1);
}
#endif

TEST(FsPaths, FolderPart) {
  struct Case {
    const char* path;
    const char* folder;
  };
  const Case cases[] = {
      {"D:\\Setup\\a.txt", "D:\\Setup\\"},
      {"D:a.txt", "D:"},
      {"\\a.txt", "\\"},
      {"a.txt", ""},
      {"", ""},
      {"D:\\Setup\\", "D:\\Setup\\"},
#ifndef _WIN32
      {"/tmp/x/a.txt", "/tmp/x/"},
      {"x/y\\z", "x/y\\"},
#else
      {"x/y", ""},
#endif
  };
  for (const Case& c : cases) EXPECT_EQ(ExtractFilePath(c.path), c.folder) << c.path;
}

TEST(FsPaths, OwnExecutable) {
  std::string self = ModuleFileName();
  EXPECT_TRUE(FileExists(self)) << self;
  std::string name = self.substr(ExtractFilePath(self).size());
  EXPECT_TRUE(name == "tests_platform" || name == "tests_platform.exe") << name;
}

TEST(DosDateTime, WorkedExample) {
  DosDateTime t = DecodeDosDateTime(0x22C48091u);
  EXPECT_EQ(t.year, 1997);
  EXPECT_EQ(t.month, 6);
  EXPECT_EQ(t.day, 4);
  EXPECT_EQ(t.hour, 16);
  EXPECT_EQ(t.minute, 4);
  EXPECT_EQ(t.second, 34);
  EXPECT_EQ(EncodeDosDateTime(t), 0x22C48091u);
}

TEST(DosDateTime, Validity) {
  struct Case {
    DosDateTime t;
    bool valid;
  };
  const Case cases[] = {
      {{1997, 6, 4, 16, 4, 34}, true},       {{2000, 2, 29, 0, 0, 0}, true},
      {{1900 + 200, 2, 29, 0, 0, 0}, false},  // 2100 is no leap year
      {{1997, 2, 29, 0, 0, 0}, false},       {{1997, 4, 31, 0, 0, 0}, false},
      {{1997, 13, 1, 0, 0, 0}, false},       {{1997, 0, 1, 0, 0, 0}, false},
      {{1997, 1, 0, 0, 0, 0}, false},        {{1997, 1, 1, 23, 59, 58}, true},
      {{1997, 1, 1, 0, 60, 0}, false},       {{1997, 1, 1, 0, 0, 60}, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IsValidDosDateTime(EncodeDosDateTime(c.t)), c.valid)
        << c.t.year << "-" << c.t.month << "-" << c.t.day << " " << c.t.hour << ":" << c.t.minute
        << ":" << c.t.second;
}

TEST(DosDateTime, ClampedToTheMsDosRange) {
  EXPECT_EQ(ClampedDosDateTime({1970, 1, 1, 1, 0, 0}), 0x00210000u);
  EXPECT_EQ(ClampedDosDateTime({2200, 1, 1, 0, 0, 0}),
            EncodeDosDateTime({2107, 12, 31, 23, 59, 58}));
  EXPECT_EQ(ClampedDosDateTime({1997, 6, 4, 16, 4, 35}), 0x22C48091u);  // odd seconds round down
}

}  // namespace
}  // namespace platform
