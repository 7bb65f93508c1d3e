// The Linux launcher: the prompt in the terminal.
#include <unistd.h>

#include <cstdio>

#include "launcher/application.h"
#include "launcher/terminal/terminal_front_end.h"

int main() {
  launcher::InstallExitSignals();
  launcher::TTerminalFrontEnd frontEnd(STDIN_FILENO, stdout, stderr);
  return launcher::ProgramEntry(frontEnd);
}
