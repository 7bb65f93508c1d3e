// The terminal's input mode for the launcher: single keys without echo while the prompt runs,
// the saved mode restored on every way out (normal end, exception, and the signals that end the
// process: SIGTERM, SIGINT, SIGQUIT).
#pragma once

#include <termios.h>

namespace launcher {

class TRawMode {
 public:
  // Switches fd to single-key input when it is a terminal; does nothing otherwise.
  explicit TRawMode(int fd);
  ~TRawMode();
  TRawMode(const TRawMode&) = delete;
  TRawMode& operator=(const TRawMode&) = delete;

  // True when fd is a terminal (keys are read one by one), false for a pipe or file (lines).
  bool IsTerminal() const noexcept { return isTerminal_; }
  // Puts the saved mode back (before a program is started, and at the end). Idempotent.
  void Restore() noexcept;

 private:
  int fd_;
  bool isTerminal_ = false;
  bool active_ = false;
  termios saved_{};
};

// Lets SIGTERM, SIGINT and SIGQUIT end the process with exit code 0 after the terminal's mode
// has been restored; a closed terminal (SIGHUP) and a closed output pipe (SIGPIPE) end nothing
// by themselves: the next read or write sees them.
void InstallExitSignals();

}  // namespace launcher
