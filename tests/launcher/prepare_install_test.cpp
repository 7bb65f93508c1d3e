// PrepareInstall with a recording host: what is opened, extracted and started, in which order,
// and the 255-character cut of the command lines.
#include "launcher/prepare_install.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/exceptions.h"
#include "support/tempdir.h"
#include "tools/archive_writer.h"

namespace launchertest {
namespace {

using Calls = std::vector<std::string>;

// A memory stream that notes its release in the host's call list.
class TTrackedStream : public platform::TMemoryStream {
 public:
  TTrackedStream(std::vector<uint8_t> bytes, Calls& calls)
      : platform::TMemoryStream(std::move(bytes)), calls_(calls) {}
  ~TTrackedStream() override { calls_.push_back("ReleaseStream"); }

 private:
  Calls& calls_;
};

struct TRecordingHost : launcher::TPrepareHost {
  Calls calls;
  std::vector<uint8_t> archive;
  bool hasArchive = true;
  std::function<void()> openFailure;

  std::unique_ptr<platform::ByteStream> OpenArchive(expander::TQuarnel&, const std::string& ResName,
                                                    const std::string& LibName) override {
    calls.push_back("OpenArchive " + ResName + " | " + LibName);
    if (openFailure) openFailure();
    if (!hasArchive) return nullptr;
    return std::make_unique<TTrackedStream>(archive, calls);
  }
  void StartProgram(const std::string& commandLine, int showMode) override {
    calls.push_back("StartProgram " + commandLine + " | " + std::to_string(showMode));
  }
};

struct TEntry {
  std::string name;
  std::string data;
  uint8_t method = expander::mtLZH;
  tools::EntryHeaderOverrides overrides = {};
};

std::vector<uint8_t> MakeArchive(const std::vector<TEntry>& entries) {
  platform::TMemoryStream out;
  tools::ArchiveWriter writer(out, "LZH");
  for (const TEntry& e : entries) {
    tools::EntryOptions options;
    options.Method = e.method;
    options.FileDate = 0x22C48091;  // 4 June 1997, 16:04:34
    options.Attributes = 0x20;
    options.Override = e.overrides;
    writer.AddBuffer(e.name, std::vector<uint8_t>(e.data.begin(), e.data.end()), options);
  }
  writer.Finish();
  return out.Bytes();
}

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct TLaunchCase {
  const char* name;
  const char* folder;
  const char* program;
  const char* text;
  Calls starts;
};

void PrintTo(const TLaunchCase& c, std::ostream* os) {
  *os << c.name;
}

class PrepareInstallLaunches : public ::testing::TestWithParam<TLaunchCase> {};

TEST_P(PrepareInstallLaunches, StartsTheNamedFilesAfterTheExtraction) {
  const TLaunchCase& c = GetParam();
  TRecordingHost host;
  host.archive = MakeArchive({});  // a valid archive without entries: nothing is written
  launcher::PrepareInstall(c.folder, c.program, c.text, host);
  Calls expected = {"OpenArchive MyArchiv | ", "ReleaseStream"};
  expected.insert(expected.end(), c.starts.begin(), c.starts.end());
  EXPECT_EQ(host.calls, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, PrepareInstallLaunches,
    ::testing::Values(
        TLaunchCase{"BothEmpty", "C:\\F\\", "", "", {}},
        TLaunchCase{
            "OnlyProgram", "C:\\F\\", "setup.exe", "", {"StartProgram C:\\F\\setup.exe | 5"}},
        TLaunchCase{"OnlyText",
                    "C:\\F\\",
                    "",
                    "readme.txt",
                    {"StartProgram NOTEPAD C:\\F\\readme.txt | 5"}},
        TLaunchCase{
            "TextBeforeProgram",
            "C:\\F\\",
            "setup.exe",
            "readme.txt",
            {"StartProgram NOTEPAD C:\\F\\readme.txt | 5", "StartProgram C:\\F\\setup.exe | 5"}},
        // Plain concatenations: no quotes around blanks, nothing put between folder and name.
        TLaunchCase{"BlanksUnquoted",
                    "C:\\My Files\\",
                    "my setup.exe",
                    "read me.txt",
                    {"StartProgram NOTEPAD C:\\My Files\\read me.txt | 5",
                     "StartProgram C:\\My Files\\my setup.exe | 5"}},
        TLaunchCase{"FolderWithoutBackslash",
                    "C:\\F",
                    "setup.exe",
                    "",
                    {"StartProgram C:\\Fsetup.exe | 5"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct TCutCase {
  size_t length;
  size_t started;
};

class CommandLineCut : public ::testing::TestWithParam<TCutCase> {};

TEST_P(CommandLineCut, OnlyTheFirst255CharactersAreStarted) {
  // Both command lines made exactly GetParam().length characters long.
  const std::string folder = "C:\\F\\";
  const std::string program(GetParam().length - folder.size(), 'p');
  const std::string text(GetParam().length - folder.size() - 8, 't');
  TRecordingHost host;
  host.archive = MakeArchive({});
  launcher::PrepareInstall(folder, program, text, host);
  const std::string notepad = "NOTEPAD " + folder + text;
  const std::string direct = folder + program;
  ASSERT_EQ(notepad.size(), GetParam().length);
  EXPECT_EQ(host.calls, (Calls{"OpenArchive MyArchiv | ", "ReleaseStream",
                               "StartProgram " + notepad.substr(0, GetParam().started) + " | 5",
                               "StartProgram " + direct.substr(0, GetParam().started) + " | 5"}));
}

INSTANTIATE_TEST_SUITE_P(Lengths, CommandLineCut,
                         ::testing::Values(TCutCase{254, 254}, TCutCase{255, 255},
                                           TCutCase{256, 255}, TCutCase{300, 255}));

TEST(PrepareInstallExtraction, ExpandsEveryEntryIntoTheFolderAndCreatesSubfolders) {
  testsupport::TempDir dir;
  TRecordingHost host;
  host.archive = MakeArchive({{"readme.txt", "Fenwold 2.2\r\nread me first\r\n"},
                              {"docs\\licence.txt", std::string(3000, 'L')},
                              {"docs\\stored.bin", "stored as it is", expander::mtNone}});
  launcher::PrepareInstall(dir.Folder(), "", "", host);
  EXPECT_EQ(ReadText(dir.Path() / "readme.txt"), "Fenwold 2.2\r\nread me first\r\n");
  EXPECT_EQ(ReadText(dir.Path() / "docs" / "licence.txt"), std::string(3000, 'L'));
  EXPECT_EQ(ReadText(dir.Path() / "docs" / "stored.bin"), "stored as it is");
  EXPECT_EQ(host.calls, (Calls{"OpenArchive MyArchiv | ", "ReleaseStream"}));
}

TEST(PrepareInstallExtraction, AFailurePartWayReleasesTheStreamAndStartsNothing) {
  testsupport::TempDir dir;
  TRecordingHost host;
  tools::EntryHeaderOverrides wrongSum;
  wrongSum.Checksum = 12345;
  host.archive = MakeArchive({{"first.txt", "complete"},
                              {"second.txt", "corrupt", expander::mtLZH, wrongSum},
                              {"third.txt", "never reached"}});
  try {
    launcher::PrepareInstall(dir.Folder(), "setup.exe", "readme.txt", host);
    FAIL() << "no exception";
  } catch (const expander::EBadChecksum& e) {
    EXPECT_STREQ(e.what(), "Bad checksum during expansion -- data may be invalid");
  }
  EXPECT_EQ(ReadText(dir.Path() / "first.txt"), "complete");
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "third.txt"));
  EXPECT_EQ(host.calls, (Calls{"OpenArchive MyArchiv | ", "ReleaseStream"}));
}

TEST(PrepareInstallExtraction, AMissingResourceEndsAtOnceWithItsMessage) {
  TRecordingHost host;
  host.openFailure = [] { throw platform::EResNotFound("MyArchiv"); };
  try {
    launcher::PrepareInstall("C:\\F\\", "setup.exe", "readme.txt", host);
    FAIL() << "no exception";
  } catch (const platform::EResNotFound& e) {
    EXPECT_STREQ(e.what(), "Ressource MyArchiv nicht gefunden");
  }
  EXPECT_EQ(host.calls, (Calls{"OpenArchive MyArchiv | "}));
}

TEST(PrepareInstallExtraction, NoStreamSkipsTheExtractionButNotTheStarts) {
  TRecordingHost host;
  host.hasArchive = false;
  launcher::PrepareInstall("C:\\F\\", "setup.exe", "", host);
  EXPECT_EQ(host.calls, (Calls{"OpenArchive MyArchiv | ", "StartProgram C:\\F\\setup.exe | 5"}));
}

TEST(CutCommandLine, AnEmbeddedNulEndsTheLineAsInTheFixedBuffer) {
  EXPECT_EQ(launcher::CutCommandLine(std::string("setup.exe\0 /x", 13)), "setup.exe");
}

}  // namespace
}  // namespace launchertest
