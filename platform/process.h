// Program start and processor yield.
#pragma once

#include <string>

namespace platform {

constexpr int kShowNormal = 1;  // SW_SHOWNORMAL
constexpr int kShow = 5;        // SW_SHOW

// Starts a program from a command line without waiting for it; the result says only whether
// the start was attempted successfully and callers may ignore it. Windows: WinExec. POSIX: a
// fire-and-forget spawn; a bare program name is searched in the folder of the own executable
// first, then the current folder, then PATH. The show mode is a hint and ignored on POSIX.
bool StartProgram(const std::string& commandLine, int showMode);

// Gives the rest of the time slice to other threads (Win32 Sleep(0)).
void YieldTimeSlice();

}  // namespace platform
