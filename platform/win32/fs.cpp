// File-system operations with the Win32 A functions; paths are passed as they are.
#include <windows.h>

#include "platform/exceptions.h"
#include "platform/fs.h"
#include "platform/strings.h"

namespace platform {

uint32_t GetFileAttributesOf(const std::string& path) {
  return static_cast<uint32_t>(GetFileAttributesA(path.c_str()));
}

int CreateOneFolder(const std::string& path) {
  if (CreateDirectoryA(path.c_str(), nullptr)) return 0;
  return static_cast<int>(GetLastError());
}

int64_t FreeSpaceFor(const std::string& path) {
  // "X:..." measures drive X; any other path the current drive (a NULL root).
  std::string upper = UpperCase(path);
  std::string root;
  if (upper.size() >= 2 && upper[1] == ':') root = upper.substr(0, 1) + ":\\";
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
  if (!GetDiskFreeSpaceA(root.empty() ? nullptr : root.c_str(), &sectorsPerCluster, &bytesPerSector,
                         &freeClusters, &totalClusters))
    return -1;
  return static_cast<int64_t>(sectorsPerCluster) * static_cast<int64_t>(bytesPerSector) *
         static_cast<int64_t>(freeClusters);
}

bool FileExists(const std::string& path) {
  // A wildcard would let FindFirstFileA match some other file; no file has one in its name.
  if (path.find_first_of("*?") != std::string::npos) return false;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(path.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  FindClose(find);
  return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

int64_t ExistingFileSize(const std::string& path) {
  // Windows refuses write access to a read-only file; Wine run by root would grant it. Asking
  // first gives the answer of Windows on both.
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
      (attributes & FILE_ATTRIBUTE_READONLY) != 0)
    throw EInOutError(ERROR_ACCESS_DENIED);
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw EInOutError(static_cast<int>(GetLastError()));
  DWORD high = 0;
  DWORD low = GetFileSize(h, &high);
  if (low == INVALID_FILE_SIZE) {
    DWORD err = GetLastError();
    if (err != NO_ERROR) {
      CloseHandle(h);
      throw EInOutError(static_cast<int>(err));
    }
  }
  if (!CloseHandle(h)) throw EInOutError(static_cast<int>(GetLastError()));
  return (static_cast<int64_t>(high) << 32) | low;
}

bool SetFileDate(TFileStream& file, uint32_t dosDateTime) {
  if (!IsValidDosDateTime(dosDateTime)) return false;
  FILETIME local, utc;
  if (!DosDateTimeToFileTime(static_cast<WORD>(dosDateTime >> 16),
                             static_cast<WORD>(dosDateTime & 0xFFFF), &local))
    return false;
  if (!LocalFileTimeToFileTime(&local, &utc)) return false;
  // Creation and access time stay as they are.
  return SetFileTime(reinterpret_cast<HANDLE>(file.Handle()), nullptr, nullptr, &utc) != 0;
}

bool SetFileAttributesOf(const std::string& path, uint32_t attributes) {
  return SetFileAttributesA(path.c_str(), attributes) != 0;
}

bool DeleteFileAt(const std::string& path) {
  return DeleteFileA(path.c_str()) != 0;
}

std::string ModuleFileName() {
  std::string name(MAX_PATH, '\0');
  for (;;) {
    DWORD n = GetModuleFileNameA(nullptr, &name[0], static_cast<DWORD>(name.size()));
    if (n == 0) return std::string();
    if (n < name.size()) {
      name.resize(n);
      return name;
    }
    name.resize(name.size() * 2);  // cut off: try a larger buffer
  }
}

uint32_t GetFileDosDateTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  FILETIME local;
  SYSTEMTIME t;
  if (!FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &t))
    return 0;
  return ClampedDosDateTime({t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond});
}

}  // namespace platform
