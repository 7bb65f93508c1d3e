// The program entry of the launcher, shared by its front ends: initialise the front end, set
// the application title, create the prompt window (FormCreate runs during the creation), run
// the message loop until the window is closed, and end with exit code 0.
#pragma once

#include "launcher/form1.h"
#include "launcher/launcher_ui.h"

namespace launcher {

// A front end: the UI operations of the window logic plus those of the program entry.
class TLauncherFrontEnd : public TLauncherUi {
 public:
  // Prepares the platform's user-interface services.
  virtual void Initialize() = 0;
  // Sets the application title (task-bar entry, caption of the default error report).
  virtual void SetTitle(const std::string& title) = 0;
  // Creates the prompt window with its controls and binds its events to form; calls
  // form.FormCreate() during the creation, before the window is shown.
  virtual void CreateMainWindow(TForm1& form) = 0;
  // Shows the main window and dispatches input until the window is closed.
  virtual void Run() = 0;
};

// Runs the program; always returns 0. prepare defaults to the system PrepareInstall.
int ProgramEntry(TLauncherFrontEnd& frontEnd, TPrepareRoutine prepare = {});

}  // namespace launcher
