// The program entry, in its order.
#include "launcher/application.h"

namespace launcher {

int ProgramEntry(TLauncherFrontEnd& frontEnd, TPrepareRoutine prepare) {
  try {
    frontEnd.Initialize();
    frontEnd.SetTitle(kApplicationTitle);
    TForm1 form(frontEnd, std::move(prepare));
    frontEnd.CreateMainWindow(form);
    frontEnd.Run();
  } catch (const std::exception& e) {
    // Outside every handler (the front end itself failed): the same report, and still exit 0.
    frontEnd.ReportError(ErrorReportText(e));
  }
  return 0;
}

}  // namespace launcher
