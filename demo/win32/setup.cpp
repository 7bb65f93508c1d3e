// Stand-in for the installer that the demo launcher starts: it leaves a marker file beside
// itself, then says that the installation would start now.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  while (length > 0 && path[length - 1] != '\\' && path[length - 1] != '/') --length;
  const char marker[] = "setup-started.txt";
  if (length + sizeof(marker) <= MAX_PATH) {
    CopyMemory(path + length, marker, sizeof(marker));
    HANDLE file =
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      const char text[] = "setup.exe started\r\n";
      DWORD written = 0;
      WriteFile(file, text, sizeof(text) - 1, &written, nullptr);
      CloseHandle(file);
    }
  }
  MessageBoxA(nullptr, "Fenwold 2.2: the installation would start now.", "Fenwold 2.2 Setup",
              MB_OK | MB_ICONINFORMATION);
  return 0;
}
