// The launcher in a terminal. The prompt window becomes a few lines of text:
//
//   pre-SETUP
//   Prepare the installation of Fenwold 2.2?
//   [y]es  [n]o  (Enter: yes)
//
// y and n act as the two buttons, Enter as the default button "yes"; Escape and every other key
// do nothing; end of input (or Ctrl+C, Ctrl+D, a closed terminal) closes the window. Message
// boxes print "caption: text" and wait for Enter (end of input goes on too); the default error
// report goes to stderr as "pre-Setup: message.". On a terminal the keys are read one by one
// without echo; from a pipe or file, one line is one key: an empty line is Enter, otherwise its
// first character counts.
#pragma once

#include <cstdio>
#include <string>

#include "launcher/application.h"
#include "launcher/terminal/raw_mode.h"

namespace launcher {

// What one key (or one line) means at the prompt.
enum class TTerminalKey { kYes, kNo, kEnter, kClose, kNone };

// Meaning of one byte read from a terminal in single-key mode.
TTerminalKey KeyFromByte(unsigned char c);
// Meaning of one line read from a pipe (without its line end).
TTerminalKey KeyFromLine(const std::string& line);
// A button text with its accelerator shown: "&yes" becomes "[y]es", "&&" stays "&".
std::string ShowAccelerator(const std::string& text);

class TTerminalFrontEnd : public TLauncherFrontEnd {
 public:
  // Reads keys from inFd, writes the window to out and error reports to err.
  TTerminalFrontEnd(int inFd, std::FILE* out, std::FILE* err);

  void Initialize() override;
  void SetTitle(const std::string& title) override { title_ = title; }
  void CreateMainWindow(TForm1& form) override;
  void Run() override;

  void SetText(TControlId control, const std::string& text) override;
  void SetEnabled(TControlId control, bool enabled) override;
  void SetScreenCursor(int cursor) override { cursor_ = cursor; }
  void ProcessMessages() override { std::fflush(out_); }
  void ShowMessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
  void ReportError(const std::string& text) override;
  void Close() override { closed_ = true; }
  void StartProgram(const std::string& commandLine, int showMode) override;
  std::string ModuleFileName() override;

 private:
  static constexpr int kControls = 3;
  static int Index(TControlId c) { return static_cast<int>(c); }
  // The next key: one byte from a terminal, one line from a pipe; kClose at the end of input.
  TTerminalKey ReadKey();
  void ShowWindow();

  int inFd_;
  std::FILE* out_;
  std::FILE* err_;
  TRawMode rawMode_;
  TForm1* form_ = nullptr;
  std::string title_;
  std::string texts_[kControls];
  bool enabled_[kControls] = {true, true, true};
  int cursor_ = crDefault;
  bool shown_ = false;
  bool closed_ = false;
  bool inputEnded_ = false;
};

}  // namespace launcher
