// The terminal front end: the window drawn as lines, keys or lines as input.
#include "launcher/terminal/terminal_front_end.h"

#include <unistd.h>

#include <cerrno>

#include "platform/fs.h"
#include "platform/process.h"

namespace launcher {

TTerminalKey KeyFromByte(unsigned char c) {
  switch (c) {
    case 'y':
    case 'Y':
      return TTerminalKey::kYes;
    case 'n':
    case 'N':
      return TTerminalKey::kNo;
    case '\r':
    case '\n':
      return TTerminalKey::kEnter;
    case 0x03:  // Ctrl+C
    case 0x04:  // Ctrl+D
      return TTerminalKey::kClose;
    default:
      // Escape, the rest of an escape sequence, Tab, every other key: nothing. Alt+y arrives as
      // Escape followed by y, which then acts as y.
      return TTerminalKey::kNone;
  }
}

TTerminalKey KeyFromLine(const std::string& line) {
  std::string text = line;
  if (!text.empty() && text.back() == '\r') text.pop_back();
  if (text.empty()) return TTerminalKey::kEnter;
  TTerminalKey key = KeyFromByte(static_cast<unsigned char>(text[0]));
  // A line holding a line end or a control character is no key.
  return key == TTerminalKey::kYes || key == TTerminalKey::kNo ? key : TTerminalKey::kNone;
}

std::string ShowAccelerator(const std::string& text) {
  std::string shown;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) {
      ++i;
      if (text[i] == '&') {
        shown += '&';
      } else {
        shown += '[';
        shown += text[i];
        shown += ']';
      }
    } else {
      shown += text[i];
    }
  }
  return shown;
}

TTerminalFrontEnd::TTerminalFrontEnd(int inFd, std::FILE* out, std::FILE* err)
    : inFd_(inFd), out_(out), err_(err), rawMode_(inFd) {}

void TTerminalFrontEnd::Initialize() {}

void TTerminalFrontEnd::CreateMainWindow(TForm1& form) {
  form_ = &form;
  form.FormCreate();
}

void TTerminalFrontEnd::ShowWindow() {
  std::string yes = texts_[Index(TControlId::Btn_ok)];
  std::string plainYes;
  for (char c : yes)
    if (c != '&') plainYes += c;
  std::fprintf(out_, "%s\n%s\n%s  %s  (Enter: %s)\n", kWindowCaption,
               texts_[Index(TControlId::lbl)].c_str(), ShowAccelerator(yes).c_str(),
               ShowAccelerator(texts_[Index(TControlId::btn_no)]).c_str(), plainYes.c_str());
  std::fflush(out_);
  shown_ = true;
}

void TTerminalFrontEnd::Run() {
  ShowWindow();
  while (!closed_) {
    TTerminalKey key = ReadKey();
    switch (key) {
      case TTerminalKey::kYes:
      case TTerminalKey::kEnter:
        // Btn_ok is the default button and keeps the focus: Enter acts as "yes".
        if (enabled_[Index(TControlId::Btn_ok)]) form_->Dispatch(TControlId::Btn_ok);
        break;
      case TTerminalKey::kNo:
        if (enabled_[Index(TControlId::btn_no)]) form_->Dispatch(TControlId::btn_no);
        break;
      case TTerminalKey::kClose:
        // As closing the window by its title bar; possible in every state.
        Close();
        break;
      case TTerminalKey::kNone:
        break;
    }
  }
  std::fflush(out_);
  rawMode_.Restore();
}

TTerminalKey TTerminalFrontEnd::ReadKey() {
  if (inputEnded_) return TTerminalKey::kClose;
  std::string line;
  for (;;) {
    unsigned char c;
    ssize_t n = read(inFd_, &c, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      // End of input, or a terminal that went away (EIO).
      inputEnded_ = true;
      if (rawMode_.IsTerminal() || line.empty()) return TTerminalKey::kClose;
      return KeyFromLine(line);  // a last line without a line end still counts
    }
    if (rawMode_.IsTerminal()) return KeyFromByte(c);
    // Byte by byte, so that nothing after the line is taken from a shared input.
    if (c == '\n') return KeyFromLine(line);
    line += static_cast<char>(c);
  }
}

void TTerminalFrontEnd::SetText(TControlId control, const std::string& text) {
  texts_[Index(control)] = text;
  if (shown_ && control == TControlId::lbl) {
    std::fprintf(out_, "%s\n", text.c_str());
    std::fflush(out_);
  }
}

void TTerminalFrontEnd::SetEnabled(TControlId control, bool enabled) {
  enabled_[Index(control)] = enabled;
}

void TTerminalFrontEnd::ShowMessageBox(const std::string& text, const std::string& caption,
                                       unsigned /*flags*/) {
  std::fprintf(out_, "%s: %s\n", caption.c_str(), text.c_str());
  std::fflush(out_);
  // One OK button: Enter dismisses the box; closing it (end of input) dismisses it as well.
  for (;;) {
    TTerminalKey key = ReadKey();
    if (key == TTerminalKey::kEnter || key == TTerminalKey::kClose) break;
    // From a pipe any line is the answer to the box.
    if (!rawMode_.IsTerminal()) break;
  }
}

void TTerminalFrontEnd::ReportError(const std::string& text) {
  std::fflush(out_);
  std::fprintf(err_, "%s: %s\n", title_.empty() ? kApplicationTitle : title_.c_str(), text.c_str());
  std::fflush(err_);
}

void TTerminalFrontEnd::StartProgram(const std::string& commandLine, int showMode) {
  // The program gets the terminal in its normal mode.
  rawMode_.Restore();
  platform::StartProgram(commandLine, showMode);
}

std::string TTerminalFrontEnd::ModuleFileName() {
  return platform::ModuleFileName();
}

}  // namespace launcher
