// The small user-interface interface that the launcher's window logic is written against. The
// Win32 window, the terminal front end and the fake of the tests implement it; TForm1 drives it.
#pragma once

#include <string>

namespace launcher {

// The controls of the prompt window, by their layout names.
enum class TControlId { lbl, Btn_ok, btn_no };

// Application-wide cursors.
constexpr int crDefault = 0;
constexpr int crHourGlass = -11;

// Message box flags.
constexpr unsigned kMbOk = 0x00;        // MB_OK: one OK button, no icon
constexpr unsigned kMbIconStop = 0x10;  // MB_ICONSTOP

class TLauncherUi {
 public:
  virtual ~TLauncherUi() = default;
  // Sets the text of a control (the caption of a button, the text of the label).
  virtual void SetText(TControlId control, const std::string& text) = 0;
  // Enables or disables a button.
  virtual void SetEnabled(TControlId control, bool enabled) = 0;
  // Sets the cursor shown over every window of the application (crDefault, crHourGlass).
  virtual void SetScreenCursor(int cursor) = 0;
  // Handles every message that is pending, so that changes are shown, and returns.
  virtual void ProcessMessages() = 0;
  // A modal message box owned by the application; returns when it is dismissed.
  virtual void ShowMessageBox(const std::string& text, const std::string& caption,
                              unsigned flags) = 0;
  // The default error report for an exception that escaped a handler: text is the message
  // followed by "."; shown with the application title as caption, stop icon and one OK button.
  virtual void ReportError(const std::string& text) = 0;
  // Closes the main window, which ends the application.
  virtual void Close() = 0;
  // Starts a program without waiting for it; the result is not examined.
  virtual void StartProgram(const std::string& commandLine, int showMode) = 0;
  // The full file name of the program's own executable.
  virtual std::string ModuleFileName() = 0;
};

}  // namespace launcher
