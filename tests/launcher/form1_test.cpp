// The window logic against the fake UI: the exact order of every step of the prompt window.
#include "launcher/form1.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "expander/quarnel.h"
#include "fake_ui.h"
#include "launcher/application.h"
#include "platform/exceptions.h"

namespace launchertest {
namespace {

using launcher::TForm1;
using Steps = std::vector<std::string>;

// The steps of Btn_okClick up to and including the call of the preparation routine.
const Steps kBusySteps = {
    "SetScreenCursor -11",
    "SetEnabled Btn_ok false",
    "SetEnabled btn_no false",
    "SetText lbl Please wait...",
    "ProcessMessages",
    "ModuleFileName",
    "PrepareInstall C:\\Fenwold\\ |  | ",
};

struct TFormFixture : ::testing::Test {
  TFakeUi ui;
  TForm1 form{
      ui, [this](std::string Folder, std::string ProgramName, std::string TextFileName) {
        ui.steps.push_back("PrepareInstall " + Folder + " | " + ProgramName + " | " + TextFileName);
        if (failure) failure();
      }};
  std::function<void()> failure;  // throws, when the preparation is to fail
};

using FormSteps = TFormFixture;

TEST_F(FormSteps, FormCreateSetsTheThreeTexts) {
  form.FormCreate();
  EXPECT_EQ(ui.steps, (Steps{"SetText lbl Prepare the installation of Fenwold 2.2?",
                             "SetText Btn_ok &yes", "SetText btn_no &no"}));
}

TEST_F(FormSteps, YesRunsThePreparationThenConfirmsStartsSetupAndCloses) {
  form.Dispatch(launcher::TControlId::Btn_ok);
  Steps expected = kBusySteps;
  expected.insert(expected.end(), {"SetScreenCursor 0",
                                   "MessageBox Press 'Enter' to start installation. | Setup | 0",
                                   "StartProgram setup.exe | 1", "Close"});
  EXPECT_EQ(ui.steps, expected);
}

TEST_F(FormSteps, NoOnlyCloses) {
  form.Dispatch(launcher::TControlId::btn_no);
  // Nothing prepared, nothing started, no text or state changed.
  EXPECT_EQ(ui.steps, (Steps{"Close"}));
}

// A failing preparation: one error report with the message and ".", and the window stays in
// the busy look: no cursor reset, no confirmation, nothing started, not closed.
struct TFailureCase {
  const char* name;
  std::function<void()> raise;
  const char* report;
};

void PrintTo(const TFailureCase& c, std::ostream* os) {
  *os << c.name;
}

class FormFailure : public TFormFixture, public ::testing::WithParamInterface<TFailureCase> {};

TEST_P(FormFailure, ReportsOnceAndLeavesTheBusyLook) {
  failure = GetParam().raise;
  form.Dispatch(launcher::TControlId::Btn_ok);
  Steps expected = kBusySteps;
  expected.push_back(std::string("ReportError ") + GetParam().report);
  EXPECT_EQ(ui.steps, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, FormFailure,
    ::testing::Values(
        TFailureCase{"MissingResource", [] { throw platform::EResNotFound("MyArchiv"); },
                     "Ressource MyArchiv nicht gefunden."},
        TFailureCase{"BadChecksum", [] { throw expander::EBadChecksum(); },
                     "Bad checksum during expansion -- data may be invalid."},
        // The period goes on every message, also after a blank or a period.
        TFailureCase{"TrailingBlank", [] { throw platform::EWriteError(); },
                     "Stream-Write-Fehler ."},
        TFailureCase{"TrailingPeriod", [] { throw platform::Exception("Done."); }, "Done.."},
        TFailureCase{"OutOfMemory", [] { throw std::bad_alloc(); }, "Speicher reicht nicht aus."}),
    [](const auto& info) { return std::string(info.param.name); });

struct TFolderCase {
  const char* moduleFileName;
  const char* folder;
};

class FolderOfModule : public ::testing::TestWithParam<TFolderCase> {};

TEST_P(FolderOfModule, KeepsUpToTheLastDelimiterAndEndsInABackslash) {
  EXPECT_EQ(launcher::FolderOfModule(GetParam().moduleFileName), GetParam().folder);
}

INSTANTIATE_TEST_SUITE_P(Paths, FolderOfModule,
                         ::testing::Values(TFolderCase{"C:\\Fenwold\\pre-setup.exe",
                                                       "C:\\Fenwold\\"},
                                           TFolderCase{"C:\\pre-setup.exe", "C:\\"},
                                           // A colon ends the folder part; the backslash is added.
                                           TFolderCase{"C:pre-setup.exe", "C:\\"},
                                           TFolderCase{"D:\\My Setup\\x.exe", "D:\\My Setup\\"},
                                           TFolderCase{"pre-setup.exe", "\\"}));

#ifndef _WIN32
TEST(FolderOfModulePosix, TakesTheSlashAsSeparator) {
  EXPECT_EQ(launcher::FolderOfModule("/opt/fenwold/pre-setup"), "/opt/fenwold/");
}
#endif

TEST(ProgramEntry, SetsTheTitleCreatesTheWindowRunsAndReturnsZero) {
  TFakeUi app;
  int code = launcher::ProgramEntry(app, [](std::string, std::string, std::string) {});
  EXPECT_EQ(code, 0);
  EXPECT_EQ(app.steps, (Steps{"Initialize", "SetTitle pre-Setup", "CreateMainWindow",
                              "SetText lbl Prepare the installation of Fenwold 2.2?",
                              "SetText Btn_ok &yes", "SetText btn_no &no", "Run"}));
}

TEST(ProgramEntry, AFrontEndThatFailsIsReportedAndStillEndsWithZero) {
  struct TFailingRun : TFakeUi {
    void Run() override { throw std::runtime_error("no display"); }
  } app;
  EXPECT_EQ(launcher::ProgramEntry(app, [](std::string, std::string, std::string) {}), 0);
  EXPECT_EQ(app.steps.back(), "ReportError no display.");
}

}  // namespace
}  // namespace launchertest
