// TFileStream on a Win32 file handle. Create mode: read and write access, no sharing, always
// creating (an existing file is replaced). Read mode: an existing file, others may read.
#include <windows.h>

#include "platform/exceptions.h"
#include "platform/stream.h"

namespace platform {
namespace {

HANDLE AsHandle(intptr_t h) {
  return reinterpret_cast<HANDLE>(h);
}

}  // namespace

TFileStream::TFileStream(const std::string& path, Mode mode) : handle_(-1) {
  // A read-only file is not replaced. Windows refuses it by itself; Wine run by root would not.
  if (mode == fmCreate) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
      throw EFCreateError(path);
  }
  HANDLE h = mode == fmCreate ? CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)
                              : CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    if (mode == fmCreate) throw EFCreateError(path);
    throw EFOpenError(path);
  }
  handle_ = reinterpret_cast<intptr_t>(h);
}

TFileStream::~TFileStream() {
  if (AsHandle(handle_) != INVALID_HANDLE_VALUE) CloseHandle(AsHandle(handle_));
}

int32_t TFileStream::Read(void* buffer, int32_t count) {
  if (count <= 0) return 0;
  DWORD done = 0;
  if (!ReadFile(AsHandle(handle_), buffer, static_cast<DWORD>(count), &done, nullptr)) return 0;
  return static_cast<int32_t>(done);
}

int32_t TFileStream::Write(const void* buffer, int32_t count) {
  if (count <= 0) return 0;
  DWORD done = 0;
  if (!WriteFile(AsHandle(handle_), buffer, static_cast<DWORD>(count), &done, nullptr)) return 0;
  return static_cast<int32_t>(done);
}

int64_t TFileStream::Seek(int64_t offset, SeekOrigin origin) {
  DWORD method = origin == SeekOrigin::soBeginning ? FILE_BEGIN
                 : origin == SeekOrigin::soCurrent ? FILE_CURRENT
                                                   : FILE_END;
  LARGE_INTEGER distance, at;
  distance.QuadPart = offset;
  if (!SetFilePointerEx(AsHandle(handle_), distance, &at, method)) return -1;
  return at.QuadPart;
}

}  // namespace platform
