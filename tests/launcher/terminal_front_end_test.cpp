// The terminal front end fed from a pipe: which input answers what, what is printed, and what
// is prepared and started.
#ifndef _WIN32
#include "launcher/terminal/terminal_front_end.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/exceptions.h"

namespace launchertest {
namespace {

using launcher::TTerminalKey;

// The terminal front end with its program start and own file name recorded instead of real.
class TRecordingTerminal : public launcher::TTerminalFrontEnd {
 public:
  using TTerminalFrontEnd::TTerminalFrontEnd;
  std::vector<std::string> starts;
  void StartProgram(const std::string& commandLine, int showMode) override {
    starts.push_back(commandLine + " | " + std::to_string(showMode));
  }
  std::string ModuleFileName() override { return "/opt/fenwold/pre-setup"; }
};

struct TRun {
  std::string out, err;
  std::vector<std::string> prepared, starts;
  int code = -1;
};

// Runs the program entry on the terminal front end with input as its piped input.
TRun RunWithInput(const std::string& input, bool prepareFails) {
  int fds[2];
  EXPECT_EQ(pipe(fds), 0);
  EXPECT_EQ(write(fds[1], input.data(), input.size()), static_cast<ssize_t>(input.size()));
  close(fds[1]);
  char* outText = nullptr;
  char* errText = nullptr;
  size_t outSize = 0, errSize = 0;
  std::FILE* out = open_memstream(&outText, &outSize);
  std::FILE* err = open_memstream(&errText, &errSize);
  TRun run;
  {
    TRecordingTerminal terminal(fds[0], out, err);
    run.code = launcher::ProgramEntry(terminal, [&](std::string Folder, std::string, std::string) {
      run.prepared.push_back(Folder);
      if (prepareFails) throw platform::EResNotFound("MyArchiv");
    });
    run.starts = terminal.starts;
  }
  std::fclose(out);
  std::fclose(err);
  run.out.assign(outText, outSize);
  run.err.assign(errText, errSize);
  std::free(outText);
  std::free(errText);
  close(fds[0]);
  return run;
}

const std::string kPrompt =
    "pre-SETUP\n"
    "Prepare the installation of Fenwold 2.2?\n"
    "[y]es  [n]o  (Enter: yes)\n";
const std::string kBusy = "Please wait...\n";
const std::string kConfirm = "Setup: Press 'Enter' to start installation.\n";

struct TInputCase {
  const char* name;
  const char* input;
  bool prepareFails;
  bool prepared;
  std::string out;
  std::string err;
  bool startsSetup;
};

void PrintTo(const TInputCase& c, std::ostream* os) {
  *os << c.name;
}

class TerminalInput : public ::testing::TestWithParam<TInputCase> {};

TEST_P(TerminalInput, AnswersAsTheWindowWould) {
  const TInputCase& c = GetParam();
  TRun run = RunWithInput(c.input, c.prepareFails);
  EXPECT_EQ(run.code, 0);
  EXPECT_EQ(run.out, c.out);
  EXPECT_EQ(run.err, c.err);
  EXPECT_EQ(run.prepared,
            c.prepared ? std::vector<std::string>{"/opt/fenwold/"} : std::vector<std::string>{});
  EXPECT_EQ(run.starts,
            c.startsSetup ? std::vector<std::string>{"setup.exe | 1"} : std::vector<std::string>{});
}

const std::string kMissing = "pre-Setup: Ressource MyArchiv nicht gefunden.\n";

INSTANTIATE_TEST_SUITE_P(
    Lines, TerminalInput,
    ::testing::Values(
        TInputCase{"YesThenConfirm", "y\n\n", false, true, kPrompt + kBusy + kConfirm, "", true},
        TInputCase{"EnterIsYes", "\n\n", false, true, kPrompt + kBusy + kConfirm, "", true},
        TInputCase{"UpperCaseY", "Y\n\n", false, true, kPrompt + kBusy + kConfirm, "", true},
        // End of input at the confirmation goes on as well.
        TInputCase{"ConfirmByEndOfInput", "y\n", false, true, kPrompt + kBusy + kConfirm, "", true},
        TInputCase{"LastLineWithoutLineEnd", "y", false, true, kPrompt + kBusy + kConfirm, "",
                   true},
        TInputCase{"No", "n\n", false, false, kPrompt, "", false},
        TInputCase{"EndOfInputClosesTheWindow", "", false, false, kPrompt, "", false},
        // Escape and other keys do nothing; the next answer counts.
        TInputCase{"EscapeDoesNothing", "\x1b\nq\nn\n", false, false, kPrompt, "", false},
        TInputCase{"EscapeThenYes", "\x1b\ny\n\n", false, true, kPrompt + kBusy + kConfirm, "",
                   true},
        // A failure: one report on stderr, then the Failed state: y, n and Enter do nothing
        // until the input ends.
        TInputCase{"FailureReportsOnce", "y\ny\nn\n\n", true, true, kPrompt + kBusy, kMissing,
                   false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TerminalKeys, BytesAndLinesMapToTheButtons) {
  EXPECT_EQ(launcher::KeyFromByte('y'), TTerminalKey::kYes);
  EXPECT_EQ(launcher::KeyFromByte('N'), TTerminalKey::kNo);
  EXPECT_EQ(launcher::KeyFromByte('\r'), TTerminalKey::kEnter);
  EXPECT_EQ(launcher::KeyFromByte(0x1b), TTerminalKey::kNone);
  EXPECT_EQ(launcher::KeyFromByte('\t'), TTerminalKey::kNone);
  EXPECT_EQ(launcher::KeyFromByte(0x04), TTerminalKey::kClose);
  EXPECT_EQ(launcher::KeyFromLine("\r"), TTerminalKey::kEnter);
  EXPECT_EQ(launcher::KeyFromLine("yes"), TTerminalKey::kYes);
  EXPECT_EQ(launcher::KeyFromLine("\x04"), TTerminalKey::kNone);
}

TEST(TerminalKeys, AcceleratorsAreShownInBrackets) {
  EXPECT_EQ(launcher::ShowAccelerator("&yes"), "[y]es");
  EXPECT_EQ(launcher::ShowAccelerator("a&&b"), "a&b");
  EXPECT_EQ(launcher::ShowAccelerator("end&"), "end&");
}

}  // namespace
}  // namespace launchertest
#endif
