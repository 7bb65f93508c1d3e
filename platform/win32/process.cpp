// Program start with WinExec, which searches a bare name in the folder of the own executable
// first; the processor yield is Sleep(0).
#include <windows.h>

#include "platform/process.h"

namespace platform {

bool StartProgram(const std::string& commandLine, int showMode) {
  return WinExec(commandLine.c_str(), static_cast<UINT>(showMode)) > 31;
}

void YieldTimeSlice() {
  Sleep(0);
}

}  // namespace platform
