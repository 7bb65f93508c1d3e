// The prompt window's handlers, step by step.
#include "launcher/form1.h"

#include <new>

#include "launcher/prepare_install.h"
#include "platform/exceptions.h"
#include "platform/fs.h"
#include "platform/process.h"

namespace launcher {

std::string FolderOfModule(const std::string& moduleFileName) {
  std::string folder = platform::ExtractFilePath(moduleFileName);
  if (folder.empty() || !platform::IsPathSeparator(folder.back())) folder += '\\';
  return folder;
}

std::string ErrorReportText(const std::exception& e) {
  // An allocation failure of the standard library reports as the class library's would.
  if (dynamic_cast<const std::bad_alloc*>(&e)) return platform::EOutOfMemory().Message() + ".";
  return std::string(e.what()) + ".";
}

TForm1::TForm1(TLauncherUi& ui, TPrepareRoutine prepare) : ui_(ui), prepare_(std::move(prepare)) {
  if (!prepare_) {
    prepare_ = [](std::string Folder, std::string ProgramName, std::string TextFileName) {
      PrepareInstall(std::move(Folder), std::move(ProgramName), std::move(TextFileName));
    };
  }
}

void TForm1::FormCreate() {
  ui_.SetText(TControlId::lbl, kPromptText);
  ui_.SetText(TControlId::Btn_ok, kYesText);
  ui_.SetText(TControlId::btn_no, kNoText);
}

void TForm1::Btn_okClick() {
  ui_.SetScreenCursor(crHourGlass);
  ui_.SetEnabled(TControlId::Btn_ok, false);
  ui_.SetEnabled(TControlId::btn_no, false);
  ui_.SetText(TControlId::lbl, kBusyText);
  // Once, after the buttons are disabled: the busy look is shown before the long work starts,
  // and a second click queued on "yes" lands on a disabled button.
  ui_.ProcessMessages();

  // No failure is handled here: an exception leaves the run at this point, so the cursor, the
  // buttons and the text stay in the busy look and nothing is started.
  prepare_(FolderOfModule(ui_.ModuleFileName()), "", "");

  ui_.SetScreenCursor(crDefault);
  ui_.ShowMessageBox(kConfirmText, kConfirmCaption, kMbOk);
  ui_.StartProgram(kInstallerCommand, platform::kShowNormal);
  ui_.Close();
}

void TForm1::btn_noClick() {
  ui_.Close();
}

void TForm1::Dispatch(TControlId button) {
  try {
    if (button == TControlId::Btn_ok) Btn_okClick();
    if (button == TControlId::btn_no) btn_noClick();
  } catch (const std::exception& e) {
    ui_.ReportError(ErrorReportText(e));
  }
}

}  // namespace launcher
