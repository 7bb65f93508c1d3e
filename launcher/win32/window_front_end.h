// The launcher's Win32 front end: a real window built without a dialog template.
//
// As the class library does it, an invisible application window carries the application title
// ("pre-Setup") as the task-bar entry and owns the prompt window. The prompt window ("pre-SETUP",
// outer size 267 x 104, centred, sizeable with system menu and minimise/maximise boxes, font
// "MS Sans Serif" 8 pt) holds the label and the two buttons at their layout positions. Btn_ok is
// the default button and first in the tab order; the message loop passes keys through
// IsDialogMessage, so Tab and the arrows move the focus, Enter clicks the focused (or default)
// button, y and n (alone or with Alt) click their buttons, and Escape does nothing.
#pragma once

#include <windows.h>

#include "launcher/application.h"

namespace launcher {

class TWin32FrontEnd : public TLauncherFrontEnd {
 public:
  TWin32FrontEnd(HINSTANCE instance, int showCommand);
  ~TWin32FrontEnd() override;
  TWin32FrontEnd(const TWin32FrontEnd&) = delete;
  TWin32FrontEnd& operator=(const TWin32FrontEnd&) = delete;

  void Initialize() override;
  void SetTitle(const std::string& title) override;
  void CreateMainWindow(TForm1& form) override;
  void Run() override;

  void SetText(TControlId control, const std::string& text) override;
  void SetEnabled(TControlId control, bool enabled) override;
  void SetScreenCursor(int cursor) override;
  void ProcessMessages() override;
  void ShowMessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
  void ReportError(const std::string& text) override;
  void Close() override;
  void StartProgram(const std::string& commandLine, int showMode) override;
  std::string ModuleFileName() override;

 private:
  static LRESULT CALLBACK ApplicationProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleFormMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND ControlWindow(TControlId control) const;
  // Passes one message through the dialog keys of the prompt window, or dispatches it.
  void Deliver(MSG& msg);
  void ApplyCursor();
  void MoveDefaultButton(HWND focused);

  HINSTANCE instance_;
  int showCommand_;
  HWND application_ = nullptr;  // invisible owner: task-bar entry with the application title
  HWND form_ = nullptr;         // the prompt window
  HWND lbl_ = nullptr;
  HWND btnOk_ = nullptr;
  HWND btnNo_ = nullptr;
  HWND focus_ = nullptr;  // the button that had the focus last
  HFONT font_ = nullptr;
  TForm1* handlers_ = nullptr;
  std::string title_;
  int cursor_ = crDefault;
};

}  // namespace launcher
