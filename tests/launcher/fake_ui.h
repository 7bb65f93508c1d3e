// A fake of the launcher's UI interface that records every call, in order, as one line of text.
#pragma once

#include <string>
#include <vector>

#include "launcher/application.h"

namespace launchertest {

using launcher::TControlId;

inline const char* NameOf(TControlId c) {
  switch (c) {
    case TControlId::lbl:
      return "lbl";
    case TControlId::Btn_ok:
      return "Btn_ok";
    case TControlId::btn_no:
      return "btn_no";
  }
  return "?";
}

class TFakeUi : public launcher::TLauncherFrontEnd {
 public:
  std::vector<std::string> steps;
  std::string moduleFileName = "C:\\Fenwold\\pre-setup.exe";
  launcher::TForm1* form = nullptr;

  void Initialize() override { steps.push_back("Initialize"); }
  void SetTitle(const std::string& t) override { steps.push_back("SetTitle " + t); }
  void CreateMainWindow(launcher::TForm1& f) override {
    steps.push_back("CreateMainWindow");
    form = &f;
    f.FormCreate();
  }
  void Run() override { steps.push_back("Run"); }

  void SetText(TControlId c, const std::string& t) override {
    steps.push_back(std::string("SetText ") + NameOf(c) + " " + t);
  }
  void SetEnabled(TControlId c, bool e) override {
    steps.push_back(std::string("SetEnabled ") + NameOf(c) + (e ? " true" : " false"));
  }
  void SetScreenCursor(int cursor) override {
    steps.push_back("SetScreenCursor " + std::to_string(cursor));
  }
  void ProcessMessages() override { steps.push_back("ProcessMessages"); }
  void ShowMessageBox(const std::string& text, const std::string& caption,
                      unsigned flags) override {
    steps.push_back("MessageBox " + text + " | " + caption + " | " + std::to_string(flags));
  }
  void ReportError(const std::string& text) override { steps.push_back("ReportError " + text); }
  void Close() override { steps.push_back("Close"); }
  void StartProgram(const std::string& cmd, int show) override {
    steps.push_back("StartProgram " + cmd + " | " + std::to_string(show));
  }
  std::string ModuleFileName() override {
    steps.push_back("ModuleFileName");
    return moduleFileName;
  }
};

}  // namespace launchertest
