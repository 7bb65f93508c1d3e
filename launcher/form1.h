// TForm1: the logic of the prompt window. FormCreate fills in the texts; Btn_okClick is the
// preparation run (busy look, PrepareInstall into the executable's folder, confirmation box,
// start of "setup.exe", close); btn_noClick closes. Written against TLauncherUi, so the same
// logic drives the Win32 window, the terminal and the tests' fake.
#pragma once

#include <exception>
#include <functional>
#include <string>

#include "launcher/launcher_ui.h"

namespace launcher {

// Texts of the launcher.
inline constexpr const char* kApplicationTitle = "pre-Setup";
inline constexpr const char* kWindowCaption = "pre-SETUP";
inline constexpr const char* kPromptText = "Prepare the installation of Fenwold 2.2?";
inline constexpr const char* kYesText = "&yes";
inline constexpr const char* kNoText = "&no";
inline constexpr const char* kBusyText = "Please wait...";
inline constexpr const char* kConfirmText = "Press 'Enter' to start installation.";
inline constexpr const char* kConfirmCaption = "Setup";
inline constexpr const char* kInstallerCommand = "setup.exe";

// The preparation routine as TForm1 calls it: PrepareInstall(Folder, ProgramName, TextFileName).
using TPrepareRoutine =
    std::function<void(std::string Folder, std::string ProgramName, std::string TextFileName)>;

// The folder of an executable's file name: everything up to and including its last "\" or ":"
// (or "/" on POSIX), with "\" appended when the result does not end in a folder separator.
std::string FolderOfModule(const std::string& moduleFileName);

// The text of the default error report: the exception's message followed by ".", whatever it
// ends with.
std::string ErrorReportText(const std::exception& e);

class TForm1 {
 public:
  // prepare defaults to the launcher's PrepareInstall with the system host.
  explicit TForm1(TLauncherUi& ui, TPrepareRoutine prepare = {});

  void FormCreate();
  void Btn_okClick();
  void btn_noClick();

  // A click as the message loop dispatches it: an exception that escapes the handler goes to
  // the default error report, and the window stays as the handler left it.
  void Dispatch(TControlId button);

 private:
  TLauncherUi& ui_;
  TPrepareRoutine prepare_;
};

}  // namespace launcher
