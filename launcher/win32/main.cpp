// The Windows launcher: the prompt window.
#include <windows.h>

#include "launcher/application.h"
#include "launcher/win32/window_front_end.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  launcher::TWin32FrontEnd frontEnd(instance, showCommand);
  return launcher::ProgramEntry(frontEnd);
}
