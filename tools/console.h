// The few console facts the quarnel command needs and that differ between Windows and POSIX:
// whether standard error is a terminal, binary mode for standard input and output, and the form
// in which paths are shown. posix/console.cpp and win32/console.cpp implement it.
#pragma once

#include <string>

namespace tools {

// True when standard error is an interactive terminal (progress bars are drawn only then).
bool StderrIsTerminal();
// Puts standard input and output into binary mode, so that raw bytes pass unchanged.
void SetBinaryStdio();
// A path as the user of this system writes it: on POSIX every "\" becomes "/".
std::string DisplayPath(const std::string& path);

}  // namespace tools
