// Program start and processor yield on POSIX. A program is started detached (double fork), so
// that it never stays behind as a zombie of this process; a pipe closed on exec tells whether
// the exec itself succeeded.
#include <errno.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/fs.h"
#include "platform/posix/native_path.h"
#include "platform/process.h"

namespace platform {
namespace {

// The words of a command line, split on blanks and tabs; double quotes group a word with
// blanks in it (the quotes themselves are dropped).
std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false, quoted = false;
  for (char c : commandLine) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

bool IsExecutableFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

// The file to run for a program word: a word with a folder in it as it stands; a bare name in
// the own executable's folder, then the current folder, then the folders of PATH.
std::string FindProgram(const std::string& word) {
  std::string native = posix::NativePath(word);
  if (native.find('/') != std::string::npos) return IsExecutableFile(native) ? native : "";
  std::vector<std::string> folders;
  std::string own = ExtractFilePath(ModuleFileName());
  if (!own.empty()) folders.push_back(own);
  folders.push_back("./");
  if (const char* path = std::getenv("PATH")) {
    std::string list = path;
    std::string::size_type start = 0;
    for (;;) {
      std::string::size_type colon = list.find(':', start);
      std::string folder = list.substr(start, colon == std::string::npos ? colon : colon - start);
      if (!folder.empty()) folders.push_back(folder + "/");
      if (colon == std::string::npos) break;
      start = colon + 1;
    }
  }
  for (const std::string& folder : folders)
    if (IsExecutableFile(folder + native)) return folder + native;
  return std::string();
}

}  // namespace

bool StartProgram(const std::string& commandLine, int /*showMode*/) {
  std::vector<std::string> words = SplitCommandLine(commandLine);
  if (words.empty()) return false;
  std::string program = FindProgram(words[0]);
  if (program.empty()) return false;

  // Everything the children need is prepared before fork: after it only async-signal-safe calls.
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(&w[0]);
  argv.push_back(nullptr);
  int status[2];
  if (pipe2(status, O_CLOEXEC) != 0) return false;

  pid_t child = fork();
  if (child < 0) {
    close(status[0]);
    close(status[1]);
    return false;
  }
  if (child == 0) {
    close(status[0]);
    pid_t grandchild = fork();
    if (grandchild == 0) {
      setsid();
      execv(program.c_str(), argv.data());
      int err = errno;
      ssize_t ignored = write(status[1], &err, sizeof err);
      (void)ignored;
      _exit(127);
    }
    _exit(grandchild < 0 ? 1 : 0);
  }
  close(status[1]);
  int childStatus = 0;
  while (waitpid(child, &childStatus, 0) < 0 && errno == EINTR) {
  }
  int err = 0;
  ssize_t n;
  do {
    n = read(status[0], &err, sizeof err);
  } while (n < 0 && errno == EINTR);
  close(status[0]);
  // The middle child failed to fork, or the exec reported an error through the pipe.
  if (!WIFEXITED(childStatus) || WEXITSTATUS(childStatus) != 0) return false;
  return n == 0;
}

void YieldTimeSlice() {
  sched_yield();
}

}  // namespace platform
