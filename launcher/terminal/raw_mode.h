// The terminal's input mode for the launcher: single keys without echo while the prompt runs,
// the saved mode restored on every way out (normal end, exception, and the signals that end the
// process: a closed terminal, SIGTERM, SIGINT, SIGQUIT).
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

// Lets the signals that end the process end it with exit code 0 after the terminal's mode has
// been restored, and makes a closed output pipe a failed write instead of a signal.
void InstallExitSignals();

}  // namespace launcher
