// ExtractArchive end to end, with archives made by the archive writer and written into a fresh
// temporary folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "archive_fixture.h"
#include "expander/quarnel.h"
#include "platform/exceptions.h"
#include "platform/fs.h"
#include "support/tempdir.h"

namespace {

using namespace expander;
using namespace expandertest;
using platform::TMemoryStream;
using platform::TStringList;
namespace fs = std::filesystem;

// A name list that selects the given entry names (and then receives the paths written).
TStringList Wanted(std::initializer_list<std::string> names) {
  TStringList list;
  for (const std::string& n : names) list.Add(n);
  return list;
}

class ExtractArchiveTest : public ::testing::Test {
 protected:
  ExtractArchiveTest() { q.SetTargetPath(dir.Folder()); }

  std::string Out(const std::string& name) const { return dir.Folder() + name; }
  // Entries in the target folder, files and folders.
  size_t FolderEntries() const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir.Path()), {}));
  }

  testsupport::TempDir dir;
  TQuarnel q;
};

TEST(TargetPath, SeparatorIsAddedOnlyWhenMissing) {
  const std::pair<std::string, std::string> cases[] = {
      {"D:\\Setup", "D:\\Setup\\"}, {"D:\\Setup\\", "D:\\Setup\\"}, {"", ""}, {"x", "x\\"}};
  for (const auto& [value, expected] : cases) {
    TQuarnel q;
    q.SetTargetPath(value);
    EXPECT_EQ(q.TargetPath(), expected);
  }
}

TEST_F(ExtractArchiveTest, WritesEveryEntryWithItsBytesDateAndAttributes) {
  std::vector<uint8_t> big(20000);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i * 7 / 300);
  tools::EntryOptions readOnly = Method(mtNone);
  readOnly.Attributes = 0x21;
  TMemoryStream archive = MakeArchive("LZH", {{"readme.txt", Bytes("stored entry"), Method(mtNone)},
                                              {"sub\\deeper\\runs.bin", big, Method(mtRLE)},
                                              {"ro.txt", Bytes("read only"), readOnly}});
  archive.Seek(0, platform::SeekOrigin::soEnd);  // the walk starts at 0 whatever the position
  q.MakeDirectories = true;
  q.ExtractArchive(archive, nullptr);

  EXPECT_EQ(ReadFile(Out("readme.txt")), Bytes("stored entry"));
  EXPECT_EQ(ReadFile(Out("sub\\deeper\\runs.bin")), big);
  EXPECT_EQ(ReadFile(Out("ro.txt")), Bytes("read only"));
  for (const char* name : {"readme.txt", "sub\\deeper\\runs.bin", "ro.txt"})
    EXPECT_EQ(platform::GetFileDosDateTime(Out(name)), kSampleDate) << name;
  EXPECT_EQ(platform::GetFileAttributesOf(Out("readme.txt")) & 1u, 0u);
  EXPECT_EQ(platform::GetFileAttributesOf(Out("ro.txt")) & 1u, 1u);
}

TEST_F(ExtractArchiveTest, NamesReceivesThePathsWrittenInOrder) {
  TMemoryStream archive = MakeArchive(
      "RLE", {{"a.txt", Bytes("aaaa"), Method(mtRLE)}, {"b.txt", Bytes("bb"), Method(mtNone)}});
  // Without a list every entry is written; with one, the list both selects and receives.
  TStringList names;
  names.Add("B.TXT");
  names.Add("a.txt");
  q.ExtractArchive(archive, &names);
  ASSERT_EQ(names.Count(), 2);
  EXPECT_EQ(names[0], Out("a.txt"));
  EXPECT_EQ(names[1], Out("b.txt"));
}

// Header checks come before any file is touched, and Names keeps what it had.
TEST_F(ExtractArchiveTest, HeaderChecks) {
  struct Case {
    const char* what;
    tools::ArchiveHeaderOverrides overrides;
    size_t cutTo;  // 0: whole archive
    const char* message;
  };
  auto sig = [](int index, uint8_t value) {
    std::array<uint8_t, 5> s = ArchiveSignature;
    s[static_cast<size_t>(index)] = value;
    tools::ArchiveHeaderOverrides o;
    o.Signature = s;
    return o;
  };
  auto type = [](uint8_t t) {
    tools::ArchiveHeaderOverrides o;
    o.ArchiveType = t;
    return o;
  };
  auto id = [](const char* m) {
    tools::ArchiveHeaderOverrides o;
    o.MethodId = m;
    return o;
  };
  const char* kHeader = "Can't recognize compressed file header";
  const char* kType = "Expand can't handle caSingle archive type in compressed header";
  const char* kMethod = "Unrecognized compression method in header";
  const Case cases[] = {
      {"Z", sig(0, 'z'), 0, kHeader},   {"O", sig(1, 'o'), 0, kHeader},
      {"L", sig(2, 'X'), 0, kHeader},   {"T", sig(3, 't'), 0, kHeader},
      {"1A", sig(4, 0x1B), 0, kHeader}, {"20 bytes", {}, 20, kHeader},
      {"empty", {}, 0 + 1, kHeader},  // cut to 1 byte
      {"type 0", type(0), 0, kType},    {"type 2", type(2), 0, kType},
      {"lzh", id("lzh"), 0, kMethod},   {"CUS without OnExpand", id("CUS"), 0, kMethod},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TMemoryStream archive =
        MakeArchive("NON", {{"a.txt", Bytes("data"), Method(mtNone)}}, c.overrides);
    if (c.cutTo) archive.Bytes().resize(c.cutTo);
    TStringList names;
    names.Add("a.txt");
    try {
      q.ExtractArchive(archive, &names);
      ADD_FAILURE() << "no exception";
    } catch (const platform::Exception& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
    EXPECT_EQ(FolderEntries(), 0u);
    ASSERT_EQ(names.Count(), 1);
    EXPECT_EQ(names[0], "a.txt");
  }
}

TEST_F(ExtractArchiveTest, ExceptionClassesOfTheHeaderChecks) {
  tools::ArchiveHeaderOverrides badType;
  badType.ArchiveType = 0;
  TMemoryStream a = MakeArchive("NON", {}, badType);
  EXPECT_THROW(q.ExtractArchive(a, nullptr), EInvalidHeaderArchiveType);
  TMemoryStream b(Bytes("ZOLT"));
  EXPECT_THROW(q.ExtractArchive(b, nullptr), EInvalidHeader);
  tools::ArchiveHeaderOverrides badId;
  badId.MethodId = "ZIP";
  TMemoryStream c = MakeArchive("NON", {}, badId);
  EXPECT_THROW(q.ExtractArchive(c, nullptr), EUnrecognizedCompressionMethod);
}

TEST_F(ExtractArchiveTest, ReservedBytesAreIgnored) {
  tools::ArchiveHeaderOverrides o;
  o.Reserved = std::array<uint8_t, 8>{1, 2, 3, 4, 5, 6, 7, 0xFF};
  TMemoryStream archive = MakeArchive("NON", {{"a.txt", Bytes("x"), Method(mtNone)}}, o);
  q.ExtractArchive(archive, nullptr);
  EXPECT_EQ(ReadFile(Out("a.txt")), Bytes("x"));
}

// A name that begins with "\" is rooted (on POSIX at "/"), not placed below TargetPath. The test
// names its own temporary folder that way, so nothing is written outside it.
TEST_F(ExtractArchiveTest, RootedNameIgnoresTargetPath) {
  std::string rooted = dir.Folder() + "rooted.txt";
  if (rooted.size() > 1 && rooted[1] == ':') rooted.erase(0, 2);  // drop the drive letter
  for (char& c : rooted)
    if (c == '/') c = '\\';
  ASSERT_EQ(rooted[0], '\\');
  CurrentFolder here(dir.Path());  // rooted names lie on the current drive
  q.ExceptionOnFileError = true;
  q.SetTargetPath(dir.Folder() + "target");
  TStringList names;
  names.Add(rooted);
  TMemoryStream archive = MakeArchive("NON", {{rooted, Bytes("rooted"), Method(mtNone)}});
  q.ExtractArchive(archive, &names);
  EXPECT_EQ(ReadFile(dir.Folder() + "rooted.txt"), Bytes("rooted"));
  EXPECT_FALSE(fs::exists(dir.Path() / "target"));
  ASSERT_EQ(names.Count(), 1);
  EXPECT_EQ(names[0], rooted);
}

TEST_F(ExtractArchiveTest, NameListIgnoresCaseAndReportsTheStoredName) {
  TMemoryStream archive = MakeArchive("NON", {{"readme.txt", Bytes("first"), Method(mtNone)},
                                              {"other.txt", Bytes("second"), Method(mtNone)}});
  TStringList names;
  names.Add("README.TXT");
  q.ExtractArchive(archive, &names);
  EXPECT_EQ(ReadFile(Out("readme.txt")), Bytes("first"));
  EXPECT_FALSE(Exists(Out("other.txt")));
  ASSERT_EQ(names.Count(), 1);
  EXPECT_EQ(names[0], Out("readme.txt"));

  // An empty list is a list all the same: it selects nothing.
  testsupport::TempDir other;
  q.SetTargetPath(other.Folder());
  TStringList empty;
  q.ExtractArchive(archive, &empty);
  EXPECT_EQ(empty.Count(), 0);
  EXPECT_TRUE(fs::is_empty(other.Path()));
}

TEST_F(ExtractArchiveTest, CheckFileRenamesSkipsAndStops) {
  TMemoryStream archive = MakeArchive("NON", {{"one.txt", Bytes("1"), Method(mtNone)},
                                              {"two.txt", Bytes("2"), Method(mtNone)},
                                              {"three.txt", Bytes("3"), Method(mtNone)},
                                              {"four.txt", Bytes("4"), Method(mtNone)}});
  std::vector<std::string> seen;
  q.OnCheckFile = [&](std::string& path, TCProcessMode mode) {
    EXPECT_EQ(mode, codecs::pmExpand);
    seen.push_back(path);
    if (seen.size() == 1) path = Out("renamed.txt");
    if (seen.size() == 3) path = "*";
  };
  TStringList names;
  names.Add("one.txt");
  names.Add("two.txt");
  names.Add("three.txt");
  names.Add("four.txt");
  q.ExtractArchive(archive, &names);  // "*" ends the walk normally
  EXPECT_EQ(seen, (std::vector<std::string>{Out("one.txt"), Out("two.txt"), Out("three.txt")}));
  ASSERT_EQ(names.Count(), 2);
  EXPECT_EQ(names[0], Out("renamed.txt"));
  EXPECT_EQ(names[1], Out("two.txt"));
  EXPECT_FALSE(Exists(Out("one.txt")));
  EXPECT_FALSE(Exists(Out("three.txt")));
  EXPECT_EQ(FolderEntries(), 2u);
}

TEST_F(ExtractArchiveTest, CheckFileEmptyAnswerSkipsOneEntry) {
  TMemoryStream archive = MakeArchive("NON", {{"one.txt", Bytes("1"), Method(mtNone)},
                                              {"two.txt", Bytes("22"), Method(mtNone)},
                                              {"three.txt", Bytes("333"), Method(mtNone)}});
  q.OnCheckFile = [&](std::string& path, TCProcessMode) {
    if (path == Out("two.txt")) path.clear();
  };
  TStringList names = Wanted({"one.txt", "two.txt", "three.txt"});
  q.ExtractArchive(archive, &names);
  EXPECT_EQ(names.Items(), (std::vector<std::string>{Out("one.txt"), Out("three.txt")}));
  EXPECT_EQ(ReadFile(Out("three.txt")), Bytes("333"));
  EXPECT_FALSE(Exists(Out("two.txt")));
}

// The walk ends once the expanded sizes reach TotalSize; the header after the last counted entry
// is still read, its data is not.
TEST_F(ExtractArchiveTest, TotalSizeEndsTheWalk) {
  struct Case {
    int32_t totalSize;
    std::vector<std::string> written;
  };
  const Case cases[] = {
      {0, {}},
      {3, {"abc.txt"}},  // exactly the first entry
      {4, {"abc.txt", "de.txt"}},
      {-1, {}},  // signed comparison: 0 >= -1
  };
  for (const Case& c : cases) {
    testsupport::TempDir target;
    q.SetTargetPath(target.Folder());
    tools::ArchiveHeaderOverrides o;
    o.TotalSize = c.totalSize;
    TMemoryStream archive = MakeArchive(
        "NON", {{"abc.txt", Bytes("abc"), Method(mtNone)}, {"de.txt", Bytes("de"), Method(mtNone)}},
        o);
    TStringList names = Wanted({"abc.txt", "de.txt"});
    q.ExtractArchive(archive, &names);
    std::vector<std::string> expected;
    for (const std::string& n : c.written) expected.push_back(target.Folder() + n);
    EXPECT_EQ(names.Items(), expected) << "TotalSize " << c.totalSize;
    EXPECT_EQ(static_cast<size_t>(std::distance(fs::directory_iterator(target.Path()), {})),
              c.written.size());
  }
}

// Free space exactly equal to the entry's size is enough; an existing file's bytes count too.
TEST_F(ExtractArchiveTest, DiskSpaceTest) {
  struct Case {
    int64_t free;
    int existing;  // bytes of a file already at the output path, -1 for none
    int size;      // the entry's expanded size
    bool refused;
  };
  const Case cases[] = {
      {1500, -1, 1500, false},  {1499, -1, 1500, true},
      {500, 1000, 1500, false}, {500, 1000, 1501, true},
      {-1, -1, 0, true},  // unknown free space refuses even empty entries
      {-1, 1, 0, false},        {5LL << 30, -1, 100000, false},
  };
  for (const Case& c : cases) {
    testsupport::TempDir target;
    q.SetTargetPath(target.Folder());
    const std::string path = target.Folder() + "entry.bin";
    if (c.existing >= 0) WriteFile(path, std::vector<uint8_t>(static_cast<size_t>(c.existing), 9));
    q.FreeSpaceQuery = [&](const std::string&) { return c.free; };
    tools::ArchiveHeaderOverrides o;
    o.TotalSize = c.size + 1;  // a TotalSize of 0 would end the walk before the test
    TMemoryStream archive = MakeArchive(
        "NON",
        {{"entry.bin", std::vector<uint8_t>(static_cast<size_t>(c.size), 1), Method(mtNone)}}, o);
    SCOPED_TRACE("free " + std::to_string(c.free) + " existing " + std::to_string(c.existing) +
                 " size " + std::to_string(c.size));
    if (c.refused) {
      try {
        q.ExtractArchive(archive, nullptr);
        ADD_FAILURE() << "no EInsufficientDiskSpace";
      } catch (const EInsufficientDiskSpace& e) {
        EXPECT_EQ(std::string(e.what()), "Not enough disk space to expand " + path);
      }
      // Refused before the file is created: an existing one keeps its bytes.
      EXPECT_EQ(Exists(path), c.existing >= 0);
      if (c.existing >= 0) {
        EXPECT_EQ(ReadFile(path).size(), static_cast<size_t>(c.existing));
      }
    } else {
      q.ExtractArchive(archive, nullptr);
      EXPECT_EQ(ReadFile(path).size(), static_cast<size_t>(c.size));
    }
  }
}

TEST_F(ExtractArchiveTest, LockedEntryWithoutKeyIsDeleted) {
  tools::EntryOptions locked = Method(mtRLE);
  locked.LockKey = 1234;
  TMemoryStream archive = MakeArchive("RLE", {{"first.txt", Bytes("kept"), Method(mtNone)},
                                              {"locked.txt", Bytes("secret"), locked}});
  // A file of the same name beforehand: the entry's file replaces it and is then deleted.
  WriteFile(Out("locked.txt"), Bytes("old"));
  TStringList names;
  names.Add("first.txt");
  names.Add("locked.txt");
  EXPECT_THROW(q.ExtractArchive(archive, &names), EInvalidKey);
  EXPECT_FALSE(Exists(Out("locked.txt")));
  EXPECT_EQ(ReadFile(Out("first.txt")), Bytes("kept"));
  EXPECT_EQ(names.Items(), (std::vector<std::string>{"first.txt", "locked.txt"}));
}

TEST_F(ExtractArchiveTest, KeyOfALockedEntry) {
  struct Case {
    int32_t lockKey;
    int32_t key;
    bool passes;
  };
  const Case cases[] = {
      {1234, 1234, true},
      {1234, 1235, false},
      {-1, -1, true},  // the checksum plus 0xFFFFFFFF wraps
      {INT32_MIN, INT32_MIN, true},
      {INT32_MIN, INT32_MAX, false},
  };
  const std::vector<uint8_t> data = Bytes("locked entry data, locked entry data");
  for (const Case& c : cases) {
    testsupport::TempDir target;
    q.SetTargetPath(target.Folder());
    q.Key = c.key;
    tools::EntryOptions locked = Method(mtRLE);
    locked.LockKey = c.lockKey;
    TMemoryStream archive = MakeArchive("RLE", {{"l.txt", data, locked}});
    SCOPED_TRACE("lock " + std::to_string(c.lockKey) + " key " + std::to_string(c.key));
    if (c.passes) {
      q.ExtractArchive(archive, nullptr);
      EXPECT_EQ(ReadFile(target.Folder() + "l.txt"), data);
    } else {
      EXPECT_THROW(q.ExtractArchive(archive, nullptr), EInvalidKey);
      EXPECT_FALSE(Exists(target.Folder() + "l.txt"));
    }
  }
}

// Any failure but EInvalidKey keeps the partial file, with the entry's attributes, not its date.
TEST_F(ExtractArchiveTest, FailedEntryKeepsItsBytesAndAttributesButNotItsDate) {
  tools::EntryOptions wrong = Method(mtRLE);
  wrong.Attributes = 0x21;
  wrong.Override.Checksum = 1;
  tools::EntryOptions shortStored = Method(mtNone);
  shortStored.Attributes = 0x21;
  shortStored.Override.StoredSize = 100;  // more than the archive holds
  struct Case {
    const char* name;
    tools::EntryOptions options;
    std::vector<uint8_t> expectedBytes;
  };
  const Case cases[] = {
      {"bad checksum", wrong, Bytes("aaaaaaaaab")},
      {"data ends early", shortStored, Bytes("aaaaaaaaab")},
  };
  for (const Case& c : cases) {
    testsupport::TempDir target;
    q.SetTargetPath(target.Folder());
    TMemoryStream archive = MakeArchive("RLE", {{"f.txt", Bytes("aaaaaaaaab"), c.options}});
    TStringList names = Wanted({"f.txt"});
    try {
      q.ExtractArchive(archive, &names);
      ADD_FAILURE() << c.name << ": no exception";
    } catch (const EBadChecksum& e) {
      EXPECT_STREQ(c.name, "bad checksum");
      EXPECT_STREQ(e.what(), "Bad checksum during expansion -- data may be invalid");
    } catch (const platform::EReadError&) {
      EXPECT_STREQ(c.name, "data ends early");
    }
    const std::string path = target.Folder() + "f.txt";
    // The bytes written before the failure (the copy of stored data goes block by block).
    const std::vector<uint8_t> kept = ReadFile(path);
    ASSERT_LE(kept.size(), c.expectedBytes.size()) << c.name;
    EXPECT_TRUE(std::equal(kept.begin(), kept.end(), c.expectedBytes.begin())) << c.name;
    EXPECT_EQ(platform::GetFileAttributesOf(path) & 1u, 1u) << c.name;
    EXPECT_NE(platform::GetFileDosDateTime(path), kSampleDate) << c.name;
    EXPECT_EQ(names.Items(), std::vector<std::string>{"f.txt"}) << c.name;
  }
}

// A file that cannot be created: a missing folder without MakeDirectories, or an empty name,
// whose output path is the target folder itself.
TEST_F(ExtractArchiveTest, ExceptionOnFileErrorDecidesBetweenSkipAndFail) {
  for (const char* name : {"missing\\a.txt", ""}) {
    for (bool raise : {false, true}) {
      testsupport::TempDir target;
      q.SetTargetPath(target.Folder());
      q.ExceptionOnFileError = raise;
      TMemoryStream archive = MakeArchive("NON", {{name, Bytes("lost"), Method(mtNone)},
                                                  {"next.txt", Bytes("next"), Method(mtNone)}});
      TStringList names = Wanted({name, "next.txt"});
      SCOPED_TRACE(std::string("name \"") + name + "\", raise " + (raise ? "true" : "false"));
      if (raise) {
        EXPECT_THROW(q.ExtractArchive(archive, &names), platform::EFCreateError);
        EXPECT_FALSE(Exists(target.Folder() + "next.txt"));
      } else {
        q.ExtractArchive(archive, &names);
        EXPECT_EQ(names.Items(), std::vector<std::string>{target.Folder() + "next.txt"});
        EXPECT_EQ(ReadFile(target.Folder() + "next.txt"), Bytes("next"));
      }
      EXPECT_FALSE(fs::exists(target.Path() / "missing"));
    }
  }
}

TEST_F(ExtractArchiveTest, ReadOnlyEntryExtractedTwiceFailsInTheSpaceTest) {
  tools::EntryOptions readOnly = Method(mtNone);
  readOnly.Attributes = 0x01;
  TMemoryStream archive = MakeArchive("NON", {{"ro.txt", Bytes("once"), readOnly}});
  q.ExtractArchive(archive, nullptr);
  try {
    q.ExtractArchive(archive, nullptr);
    FAIL() << "no EInOutError";
  } catch (const platform::EInOutError& e) {
    EXPECT_EQ(e.ErrorCode(), 5);
  }
  EXPECT_EQ(ReadFile(Out("ro.txt")), Bytes("once"));
}

// Entries no decoder takes pass with checksum 0 as empty files, and the walk goes on from the
// next entry header.
TEST_F(ExtractArchiveTest, UndecodedEntriesKeepTheWalkOnEntryBoundaries) {
  tools::EntryOptions custom = Method(mtCustom);
  custom.Override.Checksum = 0;
  tools::EntryOptions unknown = Method(7);
  unknown.Override.Checksum = 0;
  TMemoryStream archive = MakeArchive("NON", {{"custom.bin", Bytes("custom data"), custom},
                                              {"unknown.bin", Bytes("opaque"), unknown},
                                              {"last.txt", Bytes("last"), Method(mtRLE)}});
  TStringList names = Wanted({"custom.bin", "unknown.bin", "last.txt"});
  q.ExtractArchive(archive, &names);
  EXPECT_EQ(names.Count(), 3);
  EXPECT_TRUE(ReadFile(Out("custom.bin")).empty());
  EXPECT_TRUE(ReadFile(Out("unknown.bin")).empty());
  EXPECT_EQ(ReadFile(Out("last.txt")), Bytes("last"));
}

// A custom identifier and OnExpand: every entry of code 3 goes to the handler, stored and RLE
// entries keep their own decoders.
TEST_F(ExtractArchiveTest, CustomMethodThroughOnRecognizeAndOnExpand) {
  // The custom format: the bytes reversed.
  std::vector<uint8_t> reversed = Bytes("desrever");
  tools::EntryOptions custom = Method(mtCustom);
  custom.Override.Checksum = 0;
  for (uint8_t b : reversed) *custom.Override.Checksum += b;
  TMemoryStream archive = MakeArchive("XYZ", {{"c.txt", reversed, custom},
                                              {"plain.txt", Bytes("plain"), Method(mtNone)},
                                              {"rle.txt", Bytes("rle"), Method(mtRLE)}});
  q.OnRecognize = [](const std::string& id, bool& recognized) { recognized = id == "XYZ"; };
  q.OnExpand = [](ByteStream& dest, ByteStream& source, int32_t Sourcesize, int32_t Destsize,
                  const std::string& CompressID, int32_t& checksum) {
    EXPECT_EQ(CompressID, "XYZ");
    EXPECT_EQ(Sourcesize, Destsize);
    std::vector<uint8_t> data(static_cast<size_t>(Sourcesize));
    source.ReadBuffer(data.data(), Sourcesize);
    for (auto it = data.rbegin(); it != data.rend(); ++it) {
      dest.WriteBuffer(&*it, 1);
      checksum += *it;
    }
  };
  q.ExtractArchive(archive, nullptr);
  EXPECT_EQ(ReadFile(Out("c.txt")), Bytes("reversed"));
  EXPECT_EQ(ReadFile(Out("plain.txt")), Bytes("plain"));
  EXPECT_EQ(ReadFile(Out("rle.txt")), Bytes("rle"));

  q.OnRecognize = nullptr;  // "XYZ" is unknown again
  EXPECT_THROW(q.ExtractArchive(archive, nullptr), EUnrecognizedCompressionMethod);
}

// An archive that ends inside an entry header or name, or whose next header is out of range,
// ends the walk quietly after the entries before it.
TEST_F(ExtractArchiveTest, DamagedEntryHeaderEndsTheWalkQuietly) {
  const size_t firstEntryEnd = ArchiveHeaderSize + EntryHeaderSize + 5 + 5;  // "a.txt", "first"
  struct Case {
    const char* what;
    size_t cutTo;  // 0: whole archive
    tools::EntryHeaderOverrides second;
  };
  tools::EntryHeaderOverrides negName, negStored, negExpanded, hugeName;
  negName.NameLength = -1;
  negStored.StoredSize = -30;
  negExpanded.ExpandedSize = -5;
  hugeName.NameLength = 32767;
  const Case cases[] = {
      {"ends after the first entry", firstEntryEnd, {}},
      {"ends inside the second header", firstEntryEnd + 24, {}},
      {"ends inside the second name", firstEntryEnd + EntryHeaderSize + 2, {}},
      {"negative NameLength", 0, negName},
      {"negative StoredSize", 0, negStored},
      {"negative ExpandedSize", 0, negExpanded},
      {"name longer than the archive", 0, hugeName},
  };
  for (const Case& c : cases) {
    testsupport::TempDir target;
    q.SetTargetPath(target.Folder());
    tools::EntryOptions second = Method(mtNone);
    second.Override = c.second;
    TMemoryStream archive = MakeArchive("NON", {{"a.txt", Bytes("first"), Method(mtNone)},
                                                {"b.txt", Bytes("second"), second},
                                                {"c.txt", Bytes("third"), Method(mtNone)}});
    if (c.cutTo) archive.Bytes().resize(c.cutTo);
    TStringList names = Wanted({"a.txt", "b.txt", "c.txt"});
    q.ExtractArchive(archive, &names);
    EXPECT_EQ(names.Items(), std::vector<std::string>{target.Folder() + "a.txt"}) << c.what;
    EXPECT_EQ(ReadFile(target.Folder() + "a.txt"), Bytes("first")) << c.what;
  }
}

}  // namespace
