// Program start: search order, failures, and (on POSIX) no child left behind.
#include "platform/process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/fs.h"
#include "support/tempdir.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace platform {
namespace {

// The content of a file once a started program has written it, or "" after some seconds.
std::string AwaitFile(const std::filesystem::path& path) {
  for (int i = 0; i < 200; ++i) {
    std::ifstream in(path);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    if (!text.empty() && text.back() == '\n') return text;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return std::string();
}

TEST(StartProgram, NothingToStart) {
  EXPECT_FALSE(StartProgram("", kShowNormal));
  EXPECT_FALSE(StartProgram("   ", kShowNormal));
  EXPECT_FALSE(StartProgram("no-such-program-q7x.exe", kShowNormal));
  testsupport::TempDir dir;
  EXPECT_FALSE(StartProgram(dir.Folder() + "missing.exe", kShowNormal));
}

#ifdef _WIN32
TEST(StartProgram, BareNameFoundByTheProgramSearch) {
  testsupport::TempDir dir;
  std::filesystem::path out = dir.Path() / "out.txt";
  ASSERT_TRUE(StartProgram("cmd.exe /c echo started>\"" + out.string() + "\"", kShowNormal));
  EXPECT_EQ(AwaitFile(out), "started\n");  // read in text mode: CR LF becomes LF
}
#else
// A script that writes its arguments into out.txt beside it.
std::string MakeScript(const testsupport::TempDir& dir, const std::string& name) {
  std::string path = dir.Folder() + name;
  std::ofstream(path) << "#!/bin/sh\necho \"$@\" > \"$(dirname \"$0\")/out.txt\"\n";
  chmod(path.c_str(), 0755);
  return path;
}

TEST(StartProgram, RunsDetachedWithItsArguments) {
  testsupport::TempDir dir;
  std::string script = MakeScript(dir, "my script.sh");
  ASSERT_TRUE(StartProgram("\"" + script + "\" one  two", kShowNormal));
  EXPECT_EQ(AwaitFile(dir.Path() / "out.txt"), "one two\n");
  // The program was handed to init: this process has no child to reap.
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

TEST(StartProgram, BareNameFoundInTheCurrentFolder) {
  testsupport::TempDir dir;
  MakeScript(dir, "setup.exe");
  std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  bool started = StartProgram("setup.exe x", kShowNormal);
  std::filesystem::current_path(before);
  ASSERT_TRUE(started);
  EXPECT_EQ(AwaitFile(dir.Path() / "out.txt"), "x\n");
}

// The own executable's folder comes before the current folder.
TEST(StartProgram, OwnFolderIsSearchedFirst) {
  testsupport::TempDir dir;
  std::string name = "quarnel-start-probe-" + std::to_string(getpid()) + ".sh";
  std::string own = std::filesystem::path(ModuleFileName()).parent_path().string() + "/" + name;
  std::string marker = dir.Folder() + "out.txt";
  std::ofstream(own) << "#!/bin/sh\necho own > \"" << marker << "\"\n";
  chmod(own.c_str(), 0755);
  std::ofstream(dir.Folder() + name) << "#!/bin/sh\necho current > \"" << marker << "\"\n";
  chmod((dir.Folder() + name).c_str(), 0755);
  std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  bool started = StartProgram(name, kShowNormal);
  std::filesystem::current_path(before);
  EXPECT_TRUE(started);
  EXPECT_EQ(AwaitFile(marker), "own\n");
  std::filesystem::remove(own);
}

TEST(StartProgram, FileWithoutExecutePermissionIsNotStarted) {
  testsupport::TempDir dir;
  std::string script = MakeScript(dir, "s.sh");
  chmod(script.c_str(), 0644);
  EXPECT_FALSE(StartProgram(script, kShowNormal));
}
#endif

}  // namespace
}  // namespace platform
