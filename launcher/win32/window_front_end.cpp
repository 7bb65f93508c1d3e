// The Win32 prompt window and its message loop.
#include "launcher/win32/window_front_end.h"

#include "platform/fs.h"
#include "platform/process.h"

namespace launcher {
namespace {

constexpr char kApplicationClass[] = "TApplication";
constexpr char kFormClass[] = "TForm1";

// Layout of the prompt window, in pixels at 96 pixels per inch.
constexpr int kFormWidth = 267;  // outer size
constexpr int kFormHeight = 104;
constexpr int kFontHeight = 11;  // character height: 8 points at 96 pixels per inch
constexpr char kFontName[] = "MS Sans Serif";
struct ControlLayout {
  int left, top, width, height;
};
constexpr ControlLayout kLblLayout{21, 8, 201, 27};
constexpr ControlLayout kBtnOkLayout{20, 44, 76, 25};
constexpr ControlLayout kBtnNoLayout{98, 44, 75, 25};

// Control identifiers. Btn_ok is IDOK, the identifier the dialog keys use for Enter when no
// push button has the focus; IDCANCEL (Escape) belongs to no control, so Escape does nothing.
constexpr int kIdBtnOk = IDOK;
constexpr int kIdBtnNo = 101;
constexpr int kIdLbl = 102;

HWND CreateControl(HWND parent, const char* className, DWORD style, const ControlLayout& at, int id,
                   HINSTANCE instance, HFONT font) {
  HWND control = CreateWindowExA(
      0, className, "", WS_CHILD | WS_VISIBLE | style, at.left, at.top, at.width, at.height, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

}  // namespace

TWin32FrontEnd::TWin32FrontEnd(HINSTANCE instance, int showCommand)
    : instance_(instance), showCommand_(showCommand) {}

TWin32FrontEnd::~TWin32FrontEnd() {
  if (form_) DestroyWindow(form_);
  if (application_) DestroyWindow(application_);
  if (font_) DeleteObject(font_);
}

void TWin32FrontEnd::Initialize() {
  WNDCLASSA appClass{};
  appClass.lpfnWndProc = ApplicationProc;
  appClass.hInstance = instance_;
  appClass.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  appClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  appClass.lpszClassName = kApplicationClass;
  RegisterClassA(&appClass);

  WNDCLASSA formClass{};
  formClass.lpfnWndProc = FormProc;
  formClass.hInstance = instance_;
  formClass.hIcon = appClass.hIcon;
  formClass.hCursor = appClass.hCursor;
  formClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  formClass.lpszClassName = kFormClass;
  RegisterClassA(&formClass);

  // The application window: zero size in the middle of the screen, so that only its task-bar
  // entry is seen. It owns the prompt window, which therefore has no task-bar entry of its own.
  int x = GetSystemMetrics(SM_CXSCREEN) / 2;
  int y = GetSystemMetrics(SM_CYSCREEN) / 2;
  application_ =
      CreateWindowExA(0, kApplicationClass, title_.c_str(),
                      WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, x, y,
                      0, 0, nullptr, nullptr, instance_, nullptr);
  SetWindowLongPtrA(application_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

  font_ = CreateFontA(-kFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                      DEFAULT_PITCH | FF_DONTCARE, kFontName);
}

void TWin32FrontEnd::SetTitle(const std::string& title) {
  title_ = title;
  if (application_) SetWindowTextA(application_, title_.c_str());
}

void TWin32FrontEnd::CreateMainWindow(TForm1& form) {
  handlers_ = &form;
  // The stored position is replaced by the centring.
  int left = (GetSystemMetrics(SM_CXSCREEN) - kFormWidth) / 2;
  int top = (GetSystemMetrics(SM_CYSCREEN) - kFormHeight) / 2;
  form_ =
      CreateWindowExA(0, kFormClass, kWindowCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, left,
                      top, kFormWidth, kFormHeight, application_, nullptr, instance_, this);
  // Creation order is tab order: the label, then Btn_ok (tab order 0), then btn_no (1).
  lbl_ = CreateControl(form_, "STATIC", SS_LEFT, kLblLayout, kIdLbl, instance_, font_);
  // Btn_ok starts the group of the two buttons, so that the arrow keys move between them only
  // (the label is no stop, as a label of the class library is no window at all).
  // BS_NOTIFY: each button reports when it gets the focus (see MoveDefaultButton).
  btnOk_ = CreateControl(form_, "BUTTON", WS_TABSTOP | WS_GROUP | BS_NOTIFY | BS_DEFPUSHBUTTON,
                         kBtnOkLayout, kIdBtnOk, instance_, font_);
  btnNo_ = CreateControl(form_, "BUTTON", WS_TABSTOP | BS_NOTIFY | BS_PUSHBUTTON, kBtnNoLayout,
                         kIdBtnNo, instance_, font_);
  form.FormCreate();
}

void TWin32FrontEnd::Run() {
  ShowWindow(application_, SW_SHOWNORMAL);
  ShowWindow(form_, showCommand_ == SW_HIDE ? SW_SHOWNORMAL : showCommand_);
  UpdateWindow(form_);
  SetFocus(btnOk_);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) Deliver(msg);
}

void TWin32FrontEnd::Deliver(MSG& msg) {
  if (form_ && IsDialogMessageA(form_, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
}

HWND TWin32FrontEnd::ControlWindow(TControlId control) const {
  switch (control) {
    case TControlId::lbl:
      return lbl_;
    case TControlId::Btn_ok:
      return btnOk_;
    case TControlId::btn_no:
      return btnNo_;
  }
  return nullptr;
}

void TWin32FrontEnd::SetText(TControlId control, const std::string& text) {
  SetWindowTextA(ControlWindow(control), text.c_str());
}

void TWin32FrontEnd::SetEnabled(TControlId control, bool enabled) {
  EnableWindow(ControlWindow(control), enabled ? TRUE : FALSE);
}

void TWin32FrontEnd::SetScreenCursor(int cursor) {
  cursor_ = cursor;
  ApplyCursor();
}

void TWin32FrontEnd::ApplyCursor() {
  LPCSTR shape = cursor_ == crHourGlass ? reinterpret_cast<LPCSTR>(IDC_WAIT)
                                        : reinterpret_cast<LPCSTR>(IDC_ARROW);
  SetCursor(LoadCursorA(nullptr, shape));
}

void TWin32FrontEnd::ProcessMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Leave the end of the loop to Run.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    Deliver(msg);
  }
}

void TWin32FrontEnd::ShowMessageBox(const std::string& text, const std::string& caption,
                                    unsigned flags) {
  // Owned by the prompt window: modal for it, and it is active again afterwards.
  MessageBoxA(form_, text.c_str(), caption.c_str(), flags);
}

void TWin32FrontEnd::ReportError(const std::string& text) {
  MessageBoxA(form_, text.c_str(), title_.c_str(), kMbIconStop | kMbOk);
}

void TWin32FrontEnd::Close() {
  if (form_) DestroyWindow(form_);
}

void TWin32FrontEnd::StartProgram(const std::string& commandLine, int showMode) {
  platform::StartProgram(commandLine, showMode);
}

std::string TWin32FrontEnd::ModuleFileName() {
  return platform::ModuleFileName();
}

void TWin32FrontEnd::MoveDefaultButton(HWND focused) {
  // The focused button is drawn as the default one, so that Enter is seen to act on it; with
  // the focus elsewhere Btn_ok is the default button again.
  bool onNo = focused == btnNo_;
  // BS_NOTIFY goes along: some versions take the whole low word of the style from wParam.
  SendMessageA(btnNo_, BM_SETSTYLE, BS_NOTIFY | (onNo ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), TRUE);
  SendMessageA(btnOk_, BM_SETSTYLE, BS_NOTIFY | (onNo ? BS_PUSHBUTTON : BS_DEFPUSHBUTTON), TRUE);
}

LRESULT CALLBACK TWin32FrontEnd::ApplicationProc(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
  auto* self = reinterpret_cast<TWin32FrontEnd*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case WM_CLOSE:
      // Closing the task-bar entry closes the prompt window.
      if (self && self->form_) PostMessageA(self->form_, WM_CLOSE, 0, 0);
      return 0;
    case WM_ACTIVATE:
      // Active again (restored from the task bar): the prompt window takes over.
      if (LOWORD(wParam) != WA_INACTIVE && self && self->form_ && IsWindowEnabled(self->form_))
        SetActiveWindow(self->form_);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK TWin32FrontEnd::FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<TWin32FrontEnd*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self) return DefWindowProcA(window, message, wParam, lParam);
  return self->HandleFormMessage(window, message, wParam, lParam);
}

LRESULT TWin32FrontEnd::HandleFormMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_SETFOCUS) {
        focus_ = reinterpret_cast<HWND>(lParam);
        MoveDefaultButton(focus_);
        return 0;
      }
      // Dispatch reports every exception of a handler here: none may unwind through the
      // system's frames between the message loop and this window procedure.
      if (HIWORD(wParam) == BN_CLICKED && handlers_) {
        // Escape arrives as IDCANCEL, which belongs to no control: ignored.
        if (LOWORD(wParam) == kIdBtnOk && IsWindowEnabled(btnOk_))
          handlers_->Dispatch(TControlId::Btn_ok);
        else if (LOWORD(wParam) == kIdBtnNo && IsWindowEnabled(btnNo_))
          handlers_->Dispatch(TControlId::btn_no);
      }
      return 0;
    case WM_NEXTDLGCTL: {
      // The dialog keys ask for the next control (the arrow keys do): as a dialog answers it.
      HWND target = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                   : GetNextDlgTabItem(window, GetFocus(), wParam != 0);
      if (target) SetFocus(target);
      return 0;
    }
    case DM_GETDEFID:
      // Enter clicks the default button: Btn_ok, or btn_no while it has the focus.
      return MAKELRESULT(focus_ == btnNo_ && btnNo_ ? kIdBtnNo : kIdBtnOk, DC_HASDEFID);
    case WM_SETCURSOR:
      // The application-wide cursor covers the window and its controls.
      if (cursor_ != crDefault) {
        ApplyCursor();
        return TRUE;
      }
      break;
    case WM_ACTIVATE:
      // Activated again, the window gives the focus back to the button that had it last, as a
      // dialog does (Btn_ok at first).
      if (LOWORD(wParam) != WA_INACTIVE) {
        HWND target = focus_ && IsChild(window, focus_) ? focus_ : btnOk_;
        if (IsWindowEnabled(target)) SetFocus(target);
      }
      return 0;
    case WM_SYSCOMMAND:
      // Minimising the prompt window minimises the application, which has the task-bar entry.
      if ((wParam & 0xFFF0) == SC_MINIMIZE && application_) {
        ShowWindow(application_, SW_MINIMIZE);
        return 0;
      }
      break;
    case WM_DESTROY:
      // The main window is gone: the application ends. Its own window goes with the front end.
      form_ = nullptr;
      lbl_ = btnOk_ = btnNo_ = nullptr;
      if (application_) ShowWindow(application_, SW_HIDE);
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace launcher
