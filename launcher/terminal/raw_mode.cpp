// Terminal mode and the exit signals.
#include "launcher/terminal/raw_mode.h"

#include <signal.h>
#include <unistd.h>

#include <initializer_list>

namespace launcher {
namespace {

// A signal handler can reach nothing but process-wide data: the mode to restore lives here for
// as long as a TRawMode is active, and nowhere else.
struct SavedTerminal {
  volatile sig_atomic_t active;
  int fd;
  termios mode;
};
SavedTerminal savedForSignals{0, -1, {}};

void ExitOnSignal(int) {
  if (savedForSignals.active) tcsetattr(savedForSignals.fd, TCSANOW, &savedForSignals.mode);
  _exit(0);
}

// A handler, not SIG_IGN: an ignored signal would stay ignored in the programs started later.
void IgnoreSignal(int) {}

}  // namespace

TRawMode::TRawMode(int fd) : fd_(fd) {
  if (!isatty(fd) || tcgetattr(fd, &saved_) != 0) return;
  isTerminal_ = true;
  termios raw = saved_;
  // Keys one at a time, no echo; Ctrl+C and Ctrl+D arrive as keys. Output processing stays on.
  raw.c_lflag &= ~(ICANON | ECHO | ISIG | IEXTEN);
  raw.c_iflag &= ~(IXON | ICRNL);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  savedForSignals.fd = fd;
  savedForSignals.mode = saved_;
  savedForSignals.active = 1;
  if (tcsetattr(fd, TCSANOW, &raw) == 0) {
    active_ = true;
  } else {
    savedForSignals.active = 0;
  }
}

TRawMode::~TRawMode() {
  Restore();
}

void TRawMode::Restore() noexcept {
  if (!active_) return;
  active_ = false;
  savedForSignals.active = 0;
  tcsetattr(fd_, TCSANOW, &saved_);
}

void InstallExitSignals() {
  struct sigaction exitAction {};
  exitAction.sa_handler = ExitOnSignal;
  sigemptyset(&exitAction.sa_mask);
  for (int sig : {SIGTERM, SIGINT, SIGQUIT}) sigaction(sig, &exitAction, nullptr);
  // A closed terminal is seen by the next read (end of input: the window is closed, or the
  // confirmation goes on), never in the middle of an extraction. A closed output pipe makes a
  // failed write instead of ending the process.
  struct sigaction ignoreAction {};
  ignoreAction.sa_handler = IgnoreSignal;
  sigemptyset(&ignoreAction.sa_mask);
  for (int sig : {SIGHUP, SIGPIPE}) sigaction(sig, &ignoreAction, nullptr);
}

}  // namespace launcher
